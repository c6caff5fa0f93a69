// Writing packages: the exact inverse of the runtime's payload reader. The
// runtime never writes a package; the quillbrand tool and the tests do.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

struct EntryDescription {
  uint8_t kind = 0;
  int32_t offset = 0;
  std::string data;
  std::string pattern;  // not written for kind 0
};

struct TargetDescription {
  std::string fileName;
  int32_t expectedSize = 0;
  std::string sizeText;
  std::string dateText;
  std::string fileFilter;
  uint32_t expectedCrc = 0;
  uint8_t checkSize = 0;
  uint8_t checkCrc = 0;
  uint8_t hasDate = 0;
  uint8_t reservedFlag = 0;
  std::string reservedText;
  std::vector<EntryDescription> entries;
  // Written instead of entries.size() when set: damaged counts for tests.
  bool overrideEntryCount = false;
  int32_t entryCount = 0;
};

struct PackageDescription {
  uint8_t reservedByte = 0;
  uint8_t textsScrambled = 0;
  std::string windowCaption;
  std::string titleText;
  std::string descriptionText;
  std::string aboutText;
  std::string link1Caption;
  std::string link1Target;
  std::string link2Caption;
  std::string link2Target;
  std::vector<TargetDescription> targets;
  bool overrideTargetCount = false;
  uint8_t targetCount = 0;
};

const char PayloadMarkerText[] = "@._P-DATA_.@";

// The payload bytes (without the marker). Texts longer than 255 bytes are
// cut to 255: callers that must refuse them check first.
std::string WritePayload(const PackageDescription& package);

// The same text as it is stored when texts are scrambled (its own inverse).
std::string ScrambleText(const std::string& text);
