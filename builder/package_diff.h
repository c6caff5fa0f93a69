// Deriving a one-target package that turns one file into another.
#pragma once
#include <string>
#include <string_view>

#include "builder/payload_writer.h"

// WriteAt entries for the changed runs (at most 255 bytes each; runs closer
// than an entry's own cost are merged), writes past the end when patched is
// longer, a TruncateAt when it is shorter. Size and CRC-32 of original,
// both checked.
TargetDescription DiffFiles(std::string_view original, std::string_view patched);

// Applies target with the real reader and engine to a temporary copy of the
// file at originalPath and compares the result with patched byte for byte.
// False, with what differs.
bool VerifyTarget(const TargetDescription& target, const std::string& originalPath, std::string_view patched,
                  std::string& error);

// A whole file, mapped for reading (no copy through a buffer).
struct MappedFile {
  std::string_view bytes;
  bool ok = false;
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
};
