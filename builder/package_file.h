// Package descriptions in TOML, as people write them, and the checks that
// keep a built patch program readable by the runtime exactly as written.
//
//   scrambled = false            # store every text scrambled
//   caption = "..."              # window caption; title, description, about likewise
//   link1 = { caption = "Home", target = "https://example.org" }
//   [[target]]
//   file_name = "game.exe"       # or "\"a description\"" in double quotes
//   expected_size = 1234         # check_size = true compares it
//   expected_crc = "CBF43926"    # hex; check_crc = true compares it
//   size_text = "1,234 bytes"  date_text = "2001-01-01"  has_date = true
//   file_filter = "Programs|*.exe"
//   [[target.entry]]
//   kind = "replace_all"         # or write_at, replace_first, *_wildcard, truncate_at, a number
//   offset = 0
//   pattern = "48 8B ?? 05"      # hex, "??" the wildcard byte; or pattern_text = "..."
//   data = "90 90"               # or data_text = "..."
// Texts are UTF-8 and stored in code page 936.
#pragma once
#include <string>

#include "builder/payload_writer.h"

struct BuildOptions {
  bool allowUnnamedKinds = false;  // kinds 6..255
};

// Reads and checks a description; false with a message naming the field.
bool ReadPackageFile(const std::string& path, const BuildOptions& options, PackageDescription& package,
                     std::string& error);

// The limits of the runtime: texts of at most 255 bytes, 1 to 16 targets,
// named kinds, and no marker inside the payload.
bool CheckPackage(const PackageDescription& package, const BuildOptions& options, std::string& error);

// "48 8B ?? 05" -> bytes; false for anything that is not pairs of hex digits.
bool ParseHexBytes(const std::string& text, std::string& bytes);

const char* KindName(unsigned kind);  // "write_at" ... or "" for 6..255

// The description back as TOML (the inverse of ReadPackageFile).
std::string PackageToToml(const PackageDescription& package);

// The whole file at path; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// runtime + marker + payload; false when the runtime cannot be read or
// carries a package already.
bool BuildPatchProgram(const std::string& runtimePath, const PackageDescription& package,
                       const std::string& outputPath, std::string& error);
