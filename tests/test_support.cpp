#include "tests/test_support.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "package/package_model.h"
#include "package/payload_reader.h"

TempFolder::TempFolder() {
  char pattern[] = "/tmp/quillbrand-test-XXXXXX";
  root_ = mkdtemp(pattern);
}

TempFolder::~TempFolder() {
  std::string command = "rm -rf '" + root_ + "'";
  if (system(command.c_str()) != 0) {
  }
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

bool FileExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

std::string Hex(const std::string& spaced) {
  std::string bytes;
  std::istringstream in(spaced);
  std::string pair;
  while (in >> pair) bytes += pair == "??" ? '?' : char(std::stoi(pair, nullptr, 16));
  return bytes;
}

void LoadPackageFile(const std::string& path, const std::string& payload) {
  WriteFileBytes(path, std::string("MZ-stub") + PayloadMarkerText + payload);
  ReleasePackage();
  currentTarget = 0;
  LoadPayloadMarker();
  payloadOffset = LocatePayload(path.c_str()) + 12;
  ReadPackage(path.c_str());
}

void LoadPackage(const PackageDescription& package) {
  TempFolder folder;
  LoadPackageFile(folder.Path("program.exe"), WritePayload(package));
}

void LoadEntries(const std::vector<EntryDescription>& entries) {
  PackageDescription package;
  TargetDescription target;
  target.fileName = "target.bin";
  target.entries = entries;
  package.targets.push_back(target);
  LoadPackage(package);
}
