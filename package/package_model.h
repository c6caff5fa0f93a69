// The package: what one patch program changes, and how it shows itself.
//
// A package travels behind the 12 marker bytes "@._P-DATA_.@" at the end of
// the program's own file. Start-up reads it once into `patchPackage` before
// any window exists; from then on it is only read.
//
// Payload layout (all numbers little-endian, no gaps, no length, no checksum;
// a text is one length byte and that many bytes):
//   header:  reservedByte u8, textsScrambled u8, eight texts (windowCaption,
//            titleText, descriptionText, aboutText, link1Caption, link1Target,
//            link2Caption, link2Target), targetCount u8, the target blocks
//   target:  fileName text, expectedSize i32, sizeText, dateText, fileFilter
//            texts, expectedCrc u32, checkSize, checkCrc, hasDate, reservedFlag
//            u8 each, reservedText text, entryCount i32, the entry blocks
//   entry:   kind u8, offset i32, data text, and pattern text unless kind is 0
// With textsScrambled non-zero every text is stored through UnscrambleText.
#pragma once
#include <stdint.h>

#include "package/byte_string.h"

enum EntryKind : uint8_t {
  WriteAt = 0,               // write data at offset
  ReplaceFirst = 1,          // search pattern from offset, replace the first occurrence
  ReplaceAll = 2,            // ... every occurrence
  ReplaceFirstWildcard = 3,  // as ReplaceFirst, "?" any byte in pattern, "keep" in data
  ReplaceAllWildcard = 4,    // as ReplaceAll, likewise
  TruncateAt = 5,            // cut the file at offset
  // 6 to 255 carry a pattern and act as ReplaceAll.
};

struct PatchEntry {
  uint8_t kind;  // an EntryKind, or 6..255
  int32_t offset;
  ShortText data;
  ShortText pattern;  // empty for WriteAt
};

struct TargetRecord {
  ShortText fileName;  // a file name, or a description in double quotes
  int32_t expectedSize;
  ShortText sizeText;
  ShortText dateText;
  ShortText fileFilter;  // "description|pattern|..." for the file-open dialog
  uint32_t expectedCrc;
  uint8_t checkSize;
  uint8_t checkCrc;
  uint8_t hasDate;
  uint8_t reservedFlag;
  ShortText reservedText;
  int32_t entryCount;   // 0 or less: no entries
  PatchEntry* entries;  // entryCount records in one block, owned by the target
};

const int32_t MaxTargets = 16;

struct PatchPackage {
  uint8_t reservedByte;
  uint8_t textsScrambled;
  ShortText windowCaption;
  ShortText titleText;
  ShortText descriptionText;
  ShortText aboutText;
  ShortText link1Caption;
  ShortText link1Target;
  ShortText link2Caption;
  ShortText link2Target;
  uint8_t targetCount;  // never above MaxTargets once read
  TargetRecord targets[MaxTargets];
};

// The one package of the process. Slots from targetCount on stay empty.
extern PatchPackage patchPackage;

// Index into patchPackage.targets of the target the main window works on:
// 0 when the window opens; only the start action moves it on.
extern uint8_t currentTarget;

// Byte k (from 1) of the result is byte k of text XOR k. Its own inverse.
void UnscrambleText(ShortText& text);
