// Deriving a one-target package that turns one file into another.
#pragma once
#include <string>
#include <string_view>

#include "builder/payload_writer.h"

// The target that turns the file at originalPath (mapped as original) into
// patched: WriteAt entries for the changed runs (at most 255 bytes each; runs
// closer than an entry's own cost are merged), writes past the end when
// patched is longer, a TruncateAt when it is shorter; the size and CRC-32 of
// original, both checked. Before it returns true it has applied the target
// with the real reader and engine to a temporary copy of the original and
// compared the result with patched byte for byte.
bool DeriveTarget(const std::string& originalPath, std::string_view original, std::string_view patched,
                  TargetDescription& target, std::string& error);

// A whole file, mapped for reading (no copy through a buffer).
struct MappedFile {
  std::string_view bytes;
  bool ok = false;
  explicit MappedFile(const std::string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
};
