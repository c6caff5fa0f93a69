// Deriving a one-target package that turns one file into another.
#pragma once
#include <string>

#include "builder/payload_writer.h"

// WriteAt entries for the changed runs (at most 255 bytes each; runs closer
// than an entry's own cost are merged), writes past the end when patched is
// longer, a TruncateAt when it is shorter. Size and CRC-32 of original,
// both checked.
TargetDescription DiffFiles(const std::string& original, const std::string& patched);

// Applies target with the real reader and engine to a temporary copy of
// original and compares the result with patched. False, with what differs.
bool VerifyTarget(const TargetDescription& target, const std::string& original, const std::string& patched,
                  std::string& error);
