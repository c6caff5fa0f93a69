// Reading a patch program's package the way the runtime does, and telling
// what else the file holds.
#pragma once
#include <string>

#include "builder/payload_writer.h"

struct InspectedProgram {
  bool hasPackage = false;
  int64_t markerOffset = -1;
  int64_t payloadBytes = 0;      // bytes the package takes behind the marker
  int64_t trailingBytes = 0;     // bytes after it
  bool trailingIsSignature = false;  // they are the Authenticode certificate table
  bool damaged = false;          // the payload ends early or is cut; see damage
  std::string damage;
  int declaredTargets = 0;
  PackageDescription package;    // what the runtime reads, texts as stored (CP936)
};

// Reads path with the runtime's own locator and reader. False (with error)
// only when the file cannot be read at all.
bool InspectProgram(const std::string& path, InspectedProgram& result, std::string& error);

// patchPackage as a description (texts unscrambled, as the runtime sees them).
PackageDescription DescribeLoadedPackage();

// Loads the package of a patch program into patchPackage, as start-up does.
bool LoadProgramPackage(const std::string& path, std::string& error);

std::string InspectionText(const std::string& path, const InspectedProgram& result);
std::string InspectionJson(const std::string& path, const InspectedProgram& result);
