#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/patch_engine.h"
#include "tests/test_support.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> calls;
void Record(int32_t done, int32_t total) { calls.push_back({done, total}); }

uint32_t Crc(const std::string& bytes) {
  return ~Crc32Update(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), 0xFFFFFFFFu);
}

TEST(Checksum, KnownValues) {
  EXPECT_EQ(Crc("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc("a"), 0xE8B7BE43u);
  EXPECT_EQ(Crc(std::string(32, '\0')), 0x190A55ADu);
}

// One byte at a time, one bit at a time: the oracle for the fast routine.
uint32_t BitwiseCrc(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; bit++) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

TEST(Checksum, SplitInputsGiveTheWholeValue) {
  // Long enough for several groups of four lanes, and a ragged tail.
  std::string bytes;
  for (int i = 0; i < 3 * 32768 + 1001; i++) bytes += char(i * 7 + i / 13);
  uint32_t whole = Crc(bytes);
  EXPECT_EQ(whole, BitwiseCrc(bytes));
  for (size_t length : {size_t(32767), size_t(32768), size_t(32769), size_t(65536 + 9)})
    EXPECT_EQ(Crc(bytes.substr(0, length)), BitwiseCrc(bytes.substr(0, length))) << length;
  for (size_t cut : {size_t(1), size_t(7), size_t(8), size_t(9), size_t(500), size_t(32768), size_t(40001)}) {
    uint32_t crc = Crc32Update(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(cut), 0xFFFFFFFFu);
    crc = Crc32Update(reinterpret_cast<const uint8_t*>(bytes.data()) + cut, int32_t(bytes.size() - cut), crc);
    EXPECT_EQ(~crc, whole) << cut;
  }
}

TEST(Checksum, FileProgressComesPerBlockBeforeFolding) {
  struct Row {
    size_t size;
    std::vector<std::pair<int32_t, int32_t>> expected;
  };
  const Row rows[] = {
      {0, {}},
      {9, {{9, 9}}},
      {65536, {{65536, 65536}}},
      {65537, {{65536, 65537}, {65537, 65537}}},
  };
  TempFolder folder;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.size);
    std::string bytes(row.size, 'q');
    WriteFileBytes(folder.Path("f"), bytes);
    calls.clear();
    EXPECT_EQ(FileCrc32(folder.Path("f").c_str(), Record), Crc(bytes));
    EXPECT_EQ(calls, row.expected);
    EXPECT_EQ(FileCrc32(folder.Path("f").c_str(), nullptr), Crc(bytes));
  }
  WriteFileBytes(folder.Path("empty"), "");
  EXPECT_EQ(FileCrc32(folder.Path("empty").c_str(), nullptr), 0u);
}

TEST(ChecksumDeathTest, AFailedOpenEndsThroughTheErrorBox) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TempFolder folder;
  WriteFileBytes(folder.Path("plain"), "x");
  std::string throughAFile = folder.Path("plain") + "/x";  // the path itself does not exist
  EXPECT_EXIT(FileCrc32(throughAFile.c_str(), nullptr), testing::ExitedWithCode(3),
              "\\[Error\\] Runtime error   3 at 00402101");
  EXPECT_EXIT(FileCrc32("/tmp/nonexistent-quillbrand-file", nullptr), testing::ExitedWithCode(2),
              "\\[Error\\] Runtime error   2 at 00402101");
}

}  // namespace
