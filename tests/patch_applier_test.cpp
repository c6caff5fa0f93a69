#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/patch_engine.h"
#include "package/package_model.h"
#include "tests/fake_window.h"
#include "tests/literal_search.h"
#include "tests/test_support.h"

namespace {

struct Applied {
  std::string file;
  int32_t written;
  bool truncated;
  std::vector<int> progress;
};

Applied Apply(const std::string& before, const std::vector<EntryDescription>& entries) {
  TempFolder folder;
  std::string path = folder.Path("target.bin");
  WriteFileBytes(path, before);
  LoadEntries(entries);
  ResetFakeWindow();
  PatchOutcome outcome = ApplyTargetPatch(path.c_str());
  return {ReadFileBytes(path), outcome.bytesWritten, outcome.truncated, fake.progress};
}

// ---- The block loop exactly as first written down, on a string for a file.
// It stops after `budget` steps, since some entries never end under it.

int32_t RefFind(bool wildcard, const std::string& pattern, const std::string& block) {
  return wildcard ? LiteralFindWildcard(pattern, block) : LiteralFindPlain(pattern, block);
}

struct ReferenceFile {
  std::string bytes;
  int64_t position = 0;
  void Write(const std::string& data) {
    if (data.empty()) return;  // writing nothing lengthens nothing
    if (size_t(position) > bytes.size()) bytes.resize(size_t(position), '\0');
    if (size_t(position) + data.size() > bytes.size()) bytes.resize(size_t(position) + data.size(), '\0');
    bytes.replace(size_t(position), data.size(), data);
    position += int64_t(data.size());
  }
};

bool Reference(const std::string& before, const std::vector<EntryDescription>& entries, Applied& out, int budget) {
  ReferenceFile file{before};
  int32_t size = int32_t(before.size());
  out = {"", 0, false, {}};
  for (const EntryDescription& entry : entries) {
    if (entry.offset < 0) continue;
    if (entry.kind == 0) {
      file.position = entry.offset;
      file.Write(entry.data);
      out.written += int32_t(entry.data.size());
      continue;
    }
    if (entry.kind == 5) {
      file.bytes.resize(size_t(entry.offset), '\0');
      out.truncated = true;
      continue;
    }
    bool wildKind = entry.kind == 3 || entry.kind == 4;
    bool wildSearch = wildKind && entry.pattern.find('?') != std::string::npos;
    bool wildData = wildKind && entry.data.find('?') != std::string::npos;
    bool firstOnly = entry.kind == 1 || entry.kind == 3;
    int32_t blockSize = wildSearch ? 1024 : 32768;
    std::string complement = entry.pattern;
    for (char& c : complement) c = char(~c);
    file.position = entry.offset;
    bool done = false;
    while (!done) {
      if (--budget < 0) return false;
      int64_t blockStart = file.position;
      out.progress.push_back(ProgressPercent(blockStart, size));
      int64_t available = int64_t(file.bytes.size()) - file.position;
      int32_t n = int32_t(std::max<int64_t>(0, std::min<int64_t>(blockSize, available)));
      if (n == 0) break;
      std::string block = file.bytes.substr(size_t(file.position), size_t(n));
      file.position += n;
      int64_t blockEnd = file.position;
      for (int32_t pos = RefFind(wildSearch, entry.pattern, block); pos != 0;
           pos = RefFind(wildSearch, entry.pattern, block)) {
        if (--budget < 0) return false;
        file.position = blockStart + pos - 1;
        for (char c : entry.data) {
          if (wildData && c == '?') file.position++;
          else file.Write(std::string(1, c));
        }
        out.written += wildData ? int32_t(std::count_if(entry.data.begin(), entry.data.end(),
                                                        [](char c) { return c != '?'; }))
                                : int32_t(entry.data.size());
        if (firstOnly) {
          done = true;
          break;
        }
        for (size_t k = 0; k < complement.size() && size_t(pos - 1) + k < block.size(); k++)
          block[size_t(pos - 1) + k] = complement[k];
      }
      if (!done && n == 32768 && blockEnd < size) file.position = blockEnd - int64_t(entry.pattern.size()) - 1;
    }
    out.progress.push_back(0);
  }
  out.file = file.bytes;
  return true;
}

// ---- The rules, one row each.

TEST(PatchApplier, Rules) {
  struct Row {
    std::string before;
    std::vector<EntryDescription> entries;
    std::string after;
    int32_t written;
    bool truncated;
    std::vector<int> progress;
    const char* what;
  };
  std::string x1023(1023, 'x');
  std::string straddle = x1023 + "AyC";
  std::string forty(40000, '.');
  forty.replace(32766, 4, "PQRS");
  std::string forty_after = forty;
  forty_after.replace(32766, 4, "1234");
  std::string shared(40000, '.');
  shared.replace(32766, 2, "AB");
  std::string shared_after = shared;
  shared_after[32766] = 'C';
  const Row rows[] = {
      {"ABCD", {{0, 6, "XY", ""}}, std::string("ABCD\0\0XY", 8), 2, false, {}, "write past the end lengthens"},
      {"ABCDEFGHIJ", {{5, 4, "", ""}}, "ABCD", 0, true, {}, "truncate"},
      {"ABCD", {{5, 6, "", ""}}, std::string("ABCD\0\0", 6), 0, true, {}, "truncate past the end lengthens"},
      {"ABCD", {{0, 1, "", ""}}, "ABCD", 0, false, {}, "an empty write"},
      {"ABCD", {}, "ABCD", 0, false, {}, "no entries"},
      {"AAA", {{2, 0, "BB", "AA"}}, "BBA", 2, false, {0, 67, 100, 0}, "replace all, overlapping"},
      {"ABAB", {{2, 0, "X", "AB"}}, "XBXB", 2, false, {0, 75, 100, 0}, "short data"},
      {"ABAB", {{2, 0, "XYZW", "AB"}}, "XYXYZW", 8, false, {0, 150, 0}, "long data covering a later match"},
      {"ABABA", {{2, 0, "X", "ABA"}}, "XBXBA", 2, false, {0, 20, 60, 100, 0}, "overlap found on re-reading"},
      {"A1A2A3", {{4, 0, "?Z", "A?"}}, "AZAZAZ", 3, false, {0, 100, 0}, "wildcard pattern and data"},
      {"ABCABC", {{3, 0, "?Q?", "ABC"}}, "AQCABC", 1, false, {0, 0}, "wildcard data, plain search, first only"},
      {"A?CA?C", {{1, 0, "Z", "A?C"}}, "Z?CA?C", 1, false, {0, 0}, "? is ordinary in ReplaceFirst"},
      {"ABAB", {{9, 0, "X", "AB"}}, "XBXB", 2, false, {0, 75, 100, 0}, "an unnamed kind acts as ReplaceAll"},
      {straddle, {{4, 0, "QQQ", "A?C"}}, straddle, 0, false, {0, 100, 100, 0}, "a wildcard match across 1024"},
      {straddle, {{2, 0, "QQQ", "AyC"}}, x1023 + "QQQ", 3, false, {0, 100, 0}, "one plain block"},
      {forty, {{2, 0, "1234", "PQRS"}}, forty_after, 4, false, {0, 82, 82, 100, 0}, "a match across 32768"},
      {shared, {{2, 0, "C", "AB"}}, shared_after, 1, false, {0, 82, 100, 0},
       "the bytes two blocks share are re-read as the file now stands"},
      {std::string(65536, 'x'), {{2, 0, "1", "abcd"}}, std::string(65536, 'x'), 0, false, {0, 50, 100, 100, 0},
       "three plain blocks"},
      {"ABC", {{2, 3, "X", "AB"}}, "ABC", 0, false, {100, 0}, "offset at the end"},
      {"ABC", {{2, 7, "X", "AB"}}, "ABC", 0, false, {233, 0}, "offset past the end"},
      {"ABCABC", {{1, 0, "x", "BC"}, {1, 0, "y", "BC"}}, "AxCAyC", 2, false, {0, 0, 0, 0}, "first only, twice"},
      {"", {{2, 0, "X", "AB"}}, "", 0, false, {0, 0}, "a search in an empty file"},
      {"ABCD", {{0, -1, "XY", ""}, {5, -1, "", ""}, {2, -3, "X", "A"}}, "ABCD", 0, false, {}, "negative offsets"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Applied got = Apply(row.before, row.entries);
    EXPECT_EQ(got.file, row.after);
    EXPECT_EQ(got.written, row.written);
    EXPECT_EQ(got.truncated, row.truncated);
    EXPECT_EQ(got.progress, row.progress);
    Applied reference;
    ASSERT_TRUE(Reference(row.before, row.entries, reference, 100000));
    EXPECT_EQ(reference.file, row.after);
    EXPECT_EQ(reference.progress, row.progress);
  }
}

TEST(PatchApplier, AnEmptyPatternFindsNothingAndReadsToTheEnd) {
  Applied got = Apply(std::string(70000, 'z'), {{2, 0, "X", ""}});
  EXPECT_EQ(got.written, 0);
  // Blocks share one byte: 0, 32767, 65534, then the read at the end.
  EXPECT_EQ(got.progress, (std::vector<int>{0, 47, 94, 100, 0}));
}

// Entries that never end when followed to the letter: each ends here, after
// doing what any number of rounds of the literal loop would have done.
TEST(PatchApplier, EndlessSearchesEnd) {
  struct Row {
    std::string before;
    EntryDescription entry;
    std::string after;
    int32_t written;
    const char* what;
  };
  const Row rows[] = {
      {"xxABxxAB", {2, 0, "", "AB"}, "xxABxxAB", 0, "replace all with empty data"},
      {"ABxxABxx", {2, 0, "", "AB"}, "ABxxABxx", 0, "empty data at a block's first byte"},
      {"abcdef", {4, 0, "XY", "??"}, "XYXYXY", 6, "a pattern of only ?"},
      {"abc", {4, 0, "Q", "?*"}, "QQQ", 3, "a * pattern that matches its own complement"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Applied reference;
    EXPECT_FALSE(Reference(row.before, {row.entry}, reference, 10000));  // the literal loop never ends
    Applied got = Apply(row.before, {row.entry});
    EXPECT_EQ(got.file, row.after);
    EXPECT_EQ(got.written, row.written);
    EXPECT_EQ(got.progress.back(), 0);
  }
}

TEST(PatchApplier, AFileThatCannotBeOpenedIsLeftAlone) {
  LoadEntries({{0, 0, "XY", ""}});
  ResetFakeWindow();
  PatchOutcome outcome = ApplyTargetPatch("/nonexistent-quillbrand/file");
  EXPECT_EQ(outcome.bytesWritten, 0);
  EXPECT_FALSE(outcome.truncated);
  EXPECT_TRUE(fake.progress.empty());
}

TEST(PatchApplier, FailedWritesAndCutsAreNotReported) {
  // /dev/full opens for writing, and every write to it fails.
  LoadEntries({{0, 0, "XY", ""}, {5, 0, "", ""}});
  ResetFakeWindow();
  PatchOutcome outcome = ApplyTargetPatch("/dev/full");
  EXPECT_EQ(outcome.bytesWritten, 0);
  EXPECT_FALSE(outcome.truncated);
}

TEST(PatchApplier, AFileOf2GiBIsLeftAlone) {
  TempFolder folder;
  std::string path = folder.Path("huge.bin");
  WriteFileBytes(path, "ABCD");
  ASSERT_EQ(truncate(path.c_str(), off_t(1) << 31), 0);  // sparse: no real space taken
  LoadEntries({{0, 0, "XY", ""}, {5, 2, "", ""}, {2, 0, "Z", "AB"}});
  ResetFakeWindow();
  PatchOutcome outcome = ApplyTargetPatch(path.c_str());
  EXPECT_EQ(outcome.bytesWritten, 0);
  EXPECT_FALSE(outcome.truncated);
  EXPECT_TRUE(fake.progress.empty());
  struct stat status;
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_size, off_t(1) << 31);
  std::ifstream in(path, std::ios::binary);
  char head[4];
  in.read(head, 4);
  EXPECT_EQ(std::string(head, 4), "ABCD");
}

// Random small files and entries, the block sizes' edges included: the
// applier and the literal loop agree wherever the literal loop ends.
TEST(PatchApplier, AgreesWithTheLiteralLoop) {
  std::mt19937 random(11);
  int compared = 0;
  for (int round = 0; round < 1500; round++) {
    static const int sizes[] = {0, 8, 40, 1000, 32700, 65500};
    int sizeBase = sizes[random() % 6];
    bool large = sizeBase >= 1000;
    if (large && round % 5 != 0) continue;
    int size = sizeBase + int(random() % (large ? 120 : 30));
    std::string before(size_t(size), 'x');
    int sprinkles = large ? 30 : size / 2;
    for (int k = 0; k < sprinkles && size > 0; k++) {
      int near = large && k % 2 ? (int(random() % 3) + 1) * (random() % 2 ? 1024 : 32768) - 3 + int(random() % 6)
                                : int(random() % size_t(size));
      if (near >= 0 && near < size) before[size_t(near)] = "AB?"[random() % 3];
    }
    std::vector<EntryDescription> entries;
    int count = int(random() % 3) + 1;
    for (int e = 0; e < count; e++) {
      EntryDescription entry;
      entry.kind = uint8_t(random() % 7);
      entry.offset = int32_t(random() % 8 == 0 ? -1 : random() % size_t(size + 4));
      int dl = int(random() % 4), pl = int(random() % 3) + 1;
      for (int k = 0; k < dl; k++) entry.data += "XY?"[random() % 3];
      for (int k = 0; k < pl; k++) entry.pattern += "AB?*"[random() % (random() % 4 ? 3 : 4)];
      if (entry.kind == 0) entry.pattern.clear();
      entries.push_back(entry);
    }
    Applied reference;
    if (!Reference(before, entries, reference, 200000)) continue;
    compared++;
    Applied got = Apply(before, entries);
    std::string described = "before " + before.substr(0, 80);
    for (const EntryDescription& e : entries)
      described += " | kind " + std::to_string(e.kind) + " at " + std::to_string(e.offset) + " data " + e.data +
                   " pattern " + e.pattern;
    SCOPED_TRACE(described);
    ASSERT_EQ(got.file, reference.file);
    ASSERT_EQ(got.written, reference.written);
    ASSERT_EQ(got.truncated, reference.truncated);
    ASSERT_EQ(got.progress, reference.progress);
  }
  EXPECT_GT(compared, 300);
}

TEST(ProgressPercent, RoundsHalfToEven) {
  struct Row {
    int64_t done, total;
    int32_t expected;
  };
  const Row rows[] = {{0, 0, 0}, {1, 2, 50}, {1, 8, 12}, {3, 8, 38}, {5, 5, 100}, {2, 3, 67},
                      {1, 200, 0}, {3, 200, 2}, {7, 3, 233}, {0x7FFFFFFF, 1, 0x7FFFFFFF}};
  for (const Row& row : rows) EXPECT_EQ(ProgressPercent(row.done, row.total), row.expected) << row.done << "/" << row.total;
}

}  // namespace
