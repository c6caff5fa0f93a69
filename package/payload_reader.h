// Finding the package in the program's own file and reading it.
//
// Damage is never applied in part: a target whose block or entries run past
// the end of the file is dropped together with every target after it, a
// header text that runs past the end reads as empty, and nothing past the end
// is ever used. A package that declares more than 16 targets is read as far as
// the table goes.
#pragma once
#include <stdint.h>

#include "package/byte_string.h"

// "@._P-DATA_.@", loaded from string 999 so that the program file itself holds
// no 8-bit copy of it.
extern uint8_t PayloadMarker[12];
extern int32_t payloadOffset;  // first payload byte: the marker's position + 12
// The first command-line argument of a one-target package; empty otherwise.
extern ByteString commandLinePath;

// Loads PayloadMarker from string 999. A string shorter than 12 bytes leaves
// the marker unusable, and LocatePayload then finds nothing.
void LoadPayloadMarker();

// Position of the last occurrence of PayloadMarker in the file at path; -1
// when there is none, when the file cannot be opened, or when it is 2 GiB or
// more (its positions would not fit).
int32_t LocatePayload(const char* path);

// Fills patchPackage from the payload at payloadOffset in the file at path.
// patchPackage must be empty (as at start, or after ReleasePackage).
void ReadPackage(const char* path);

// Releases every target's entries and empties patchPackage again.
void ReleasePackage();

// Argument 1 of a Windows command line (argument 0 is the program's name):
// blanks and control bytes separate arguments, double quotes group and are
// dropped, and a pair of quotes before an argument is passed over. Empty when
// there is no such argument.
void FirstCommandLineArgument(const char* commandLine, ByteString& argument);
