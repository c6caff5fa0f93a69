#include "builder/package_diff.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "builder/package_inspect.h"
#include "engine/patch_engine.h"
#include "package/package_model.h"

namespace {

// An entry costs 6 bytes besides its data: a gap shorter than that is
// cheaper written again than skipped.
const size_t EntryOverhead = 6;
const size_t MaxRun = 255;

size_t NextDifference(const std::string& a, const std::string& b, size_t from, size_t end) {
  const size_t chunk = 4096;
  while (from < end) {
    size_t step = end - from < chunk ? end - from : chunk;
    if (std::memcmp(a.data() + from, b.data() + from, step) != 0) {
      while (a[from] == b[from]) from++;
      return from;
    }
    from += step;
  }
  return end;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace

TargetDescription DiffFiles(const std::string& original, const std::string& patched) {
  TargetDescription target;
  target.expectedSize = int32_t(original.size());
  target.expectedCrc =
      ~Crc32Update(reinterpret_cast<const uint8_t*>(original.data()), int32_t(original.size()), 0xFFFFFFFFu);
  target.checkSize = 1;
  target.checkCrc = 1;
  size_t common = original.size() < patched.size() ? original.size() : patched.size();
  size_t at = NextDifference(original, patched, 0, common);
  while (at < common) {
    size_t start = at, end = at + 1;
    for (;;) {
      size_t next = NextDifference(original, patched, end, common);
      if (next >= common || next - end >= EntryOverhead || next + 1 - start > MaxRun) {
        at = next;
        break;
      }
      end = next + 1;
    }
    target.entries.push_back({0, int32_t(start), patched.substr(start, end - start), ""});
  }
  for (size_t start = common; start < patched.size(); start += MaxRun)
    target.entries.push_back({0, int32_t(start), patched.substr(start, MaxRun), ""});
  if (patched.size() < original.size()) target.entries.push_back({5, int32_t(patched.size()), "", ""});
  return target;
}

bool VerifyTarget(const TargetDescription& target, const std::string& original, const std::string& patched,
                  std::string& error) {
  char folder[] = "/tmp/quillbrand-verify-XXXXXX";
  if (!mkdtemp(folder)) {
    error = "cannot make a temporary folder to verify in";
    return false;
  }
  std::string program = std::string(folder) + "/check.exe", copy = std::string(folder) + "/copy.bin";
  PackageDescription package;
  package.targets = {target};
  WriteFile(program, std::string("MZ") + PayloadMarkerText + WritePayload(package));
  WriteFile(copy, original);
  bool ok = LoadProgramPackage(program, error);
  if (ok) {
    ApplyTargetPatch(copy.c_str());
    std::ifstream in(copy, std::ios::binary);
    std::string result((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (result != patched) {
      size_t at = 0;
      while (at < result.size() && at < patched.size() && result[at] == patched[at]) at++;
      error = "the package does not reproduce the patched file (first difference at byte " + std::to_string(at) + ")";
      ok = false;
    }
  }
  unlink(program.c_str());
  unlink(copy.c_str());
  rmdir(folder);
  return ok;
}
