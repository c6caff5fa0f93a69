#include "builder/package_diff.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "builder/package_report.h"
#include "engine/patch_engine.h"
#include "package/package_model.h"

namespace {

// An entry costs 6 bytes besides its data: a gap shorter than that is
// cheaper written again than skipped.
const size_t EntryOverhead = 6;
const size_t MaxRun = 255;

size_t NextDifference(std::string_view a, std::string_view b, size_t from, size_t end) {
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

// A copy made by the kernel, without passing the bytes through this process.
bool CopyWhole(const std::string& from, const std::string& to) {
  int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return false;
  int copy = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool ok = copy >= 0;
  struct stat status;
  ok = ok && fstat(source, &status) == 0;
  for (off_t left = ok ? status.st_size : 0; ok && left > 0;) {
    ssize_t moved = copy_file_range(source, nullptr, copy, nullptr, size_t(left), 0);
    if (moved <= 0) {
      ok = false;
      break;
    }
    left -= moved;
  }
  close(source);
  if (copy >= 0 && close(copy) != 0) ok = false;
  return ok;
}

}  // namespace

MappedFile::MappedFile(const std::string& path) {
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return;
  struct stat status;
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
    if (status.st_size == 0) {
      ok = true;
    } else {
      void* at = mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
      if (at != MAP_FAILED) {
        madvise(at, size_t(status.st_size), MADV_SEQUENTIAL);
        bytes = std::string_view(static_cast<const char*>(at), size_t(status.st_size));
        ok = true;
      }
    }
  }
  close(descriptor);
}

MappedFile::~MappedFile() {
  if (!bytes.empty()) munmap(const_cast<char*>(bytes.data()), bytes.size());
}

// Equal, compared by two threads, half each.
static bool SameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  size_t half = a.size() / 2;
  bool firstSame = false;
  std::thread first([&] { firstSame = a.substr(0, half) == b.substr(0, half); });
  bool secondSame = a.substr(half) == b.substr(half);
  first.join();
  return firstSame && secondSame;
}

static void FindChangedRuns(std::string_view original, std::string_view patched, TargetDescription& target) {
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
    target.entries.push_back({0, int32_t(start), std::string(patched.substr(start, end - start)), ""});
  }
  for (size_t start = common; start < patched.size(); start += MaxRun)
    target.entries.push_back({0, int32_t(start), std::string(patched.substr(start, MaxRun)), ""});
  if (patched.size() < original.size()) target.entries.push_back({5, int32_t(patched.size()), "", ""});
}

bool DeriveTarget(const std::string& originalPath, std::string_view original, std::string_view patched,
                  TargetDescription& target, std::string& error) {
  char folder[] = "/tmp/quillbrand-verify-XXXXXX";
  if (!mkdtemp(folder)) {
    error = "cannot make a temporary folder to verify in";
    return false;
  }
  std::string program = std::string(folder) + "/check.exe", copy = std::string(folder) + "/copy.bin";
  // Three independent jobs side by side: the copy to verify on, the
  // checksum of the original, and the search for changed runs.
  bool copied = false;
  std::thread copier([&] { copied = CopyWhole(originalPath, copy); });
  std::thread checksum([&] {
    target.expectedCrc =
        ~Crc32Update(reinterpret_cast<const uint8_t*>(original.data()), int32_t(original.size()), 0xFFFFFFFFu);
  });
  target.entries.clear();
  target.expectedSize = int32_t(original.size());
  target.checkSize = 1;
  target.checkCrc = 1;
  FindChangedRuns(original, patched, target);
  copier.join();
  checksum.join();

  PackageDescription package;
  package.targets = {target};
  WriteFile(program, std::string("MZ") + PayloadMarkerText + WritePayload(package));
  bool ok = copied;
  if (!ok) error = "cannot make a temporary copy to verify on";
  ok = ok && LoadProgramPackage(program, error);
  if (ok) {
    ApplyTargetPatch(copy.c_str());
    MappedFile result(copy);
    if (!result.ok || !SameBytes(result.bytes, patched)) {
      size_t at = 0;
      while (at < result.bytes.size() && at < patched.size() && result.bytes[at] == patched[at]) at++;
      error = "the package does not reproduce the patched file (first difference at byte " + std::to_string(at) + ")";
      ok = false;
    }
  }
  unlink(program.c_str());
  unlink(copy.c_str());
  rmdir(folder);
  return ok;
}
