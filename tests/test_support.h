// Fixtures for the native tests: temporary files, hex, and packages made with
// the payload writer and read back by the real reader.
#pragma once
#include <string>

#include "builder/payload_writer.h"

// A fresh temporary folder per test, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string Path(const std::string& name) const { return root_ + "/" + name; }

 private:
  std::string root_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);

// "41 42 ?? 00" -> bytes; "??" stands for the byte '?'.
std::string Hex(const std::string& spaced);

// Writes "MZ-stub" + marker + payload to path and reads it into patchPackage
// the way start-up does (the package in memory is released first).
void LoadPackageFile(const std::string& path, const std::string& payload);
void LoadPackage(const PackageDescription& package);

// A one-target package with the given entries, loaded, currentTarget 0.
void LoadEntries(const std::vector<EntryDescription>& entries);
