#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include "package/package_model.h"
#include "package/payload_reader.h"
#include "tests/test_support.h"

namespace {

std::string Text(const ShortText& text) { return std::string(text.bytes, text.length); }

PackageDescription TwoTargetPackage() {
  PackageDescription package;
  package.reservedByte = 7;
  package.windowCaption = "Caption";
  package.titleText = "Title";
  package.descriptionText = "Description";
  package.aboutText = "About";
  package.link1Caption = "L1";
  package.link1Target = "http://one";
  package.link2Caption = "L2";
  package.link2Target = "http://two";
  TargetDescription first;
  first.fileName = "game.exe";
  first.expectedSize = 1234;
  first.sizeText = "1,234";
  first.dateText = "2001-01-01";
  first.fileFilter = "Programs|*.exe";
  first.expectedCrc = 0xCBF43926;
  first.checkSize = 1;
  first.checkCrc = 2;
  first.hasDate = 3;
  first.reservedFlag = 4;
  first.reservedText = "r";
  first.entries = {{0, 16, "AB", ""}, {2, 0, "XY", "PQ"}, {5, 99, "", ""}, {200, -4, "d", "p"}};
  TargetDescription second;
  second.fileName = "\"the data file\"";
  second.entries = {};
  package.targets = {first, second};
  return package;
}

TEST(PayloadReader, ReadsEveryFieldPlainAndScrambled) {
  for (uint8_t scrambled : {0, 1, 0xFF}) {
    SCOPED_TRACE(int(scrambled));
    PackageDescription description = TwoTargetPackage();
    description.textsScrambled = scrambled;
    LoadPackage(description);
    const PatchPackage& p = patchPackage;
    EXPECT_EQ(p.reservedByte, 7);
    EXPECT_EQ(p.textsScrambled, scrambled);
    EXPECT_EQ(Text(p.windowCaption), "Caption");
    EXPECT_EQ(Text(p.titleText), "Title");
    EXPECT_EQ(Text(p.descriptionText), "Description");
    EXPECT_EQ(Text(p.aboutText), "About");
    EXPECT_EQ(Text(p.link1Caption), "L1");
    EXPECT_EQ(Text(p.link1Target), "http://one");
    EXPECT_EQ(Text(p.link2Caption), "L2");
    EXPECT_EQ(Text(p.link2Target), "http://two");
    ASSERT_EQ(p.targetCount, 2);
    const TargetRecord& t = p.targets[0];
    EXPECT_EQ(Text(t.fileName), "game.exe");
    EXPECT_EQ(t.expectedSize, 1234);
    EXPECT_EQ(Text(t.sizeText), "1,234");
    EXPECT_EQ(Text(t.dateText), "2001-01-01");
    EXPECT_EQ(Text(t.fileFilter), "Programs|*.exe");
    EXPECT_EQ(t.expectedCrc, 0xCBF43926u);
    EXPECT_EQ(t.checkSize, 1);
    EXPECT_EQ(t.checkCrc, 2);
    EXPECT_EQ(t.hasDate, 3);
    EXPECT_EQ(t.reservedFlag, 4);
    EXPECT_EQ(Text(t.reservedText), "r");
    ASSERT_EQ(t.entryCount, 4);
    EXPECT_EQ(t.entries[0].kind, 0);
    EXPECT_EQ(t.entries[0].offset, 16);
    EXPECT_EQ(Text(t.entries[0].data), "AB");
    EXPECT_EQ(t.entries[0].pattern.length, 0);
    EXPECT_EQ(Text(t.entries[1].pattern), "PQ");
    EXPECT_EQ(t.entries[2].kind, 5);
    EXPECT_EQ(t.entries[2].offset, 99);
    EXPECT_EQ(t.entries[3].kind, 200);  // unnamed kinds are read with a pattern
    EXPECT_EQ(t.entries[3].offset, -4);
    EXPECT_EQ(Text(t.entries[3].pattern), "p");
    EXPECT_EQ(Text(p.targets[1].fileName), "\"the data file\"");
    EXPECT_EQ(p.targets[1].entryCount, 0);
    EXPECT_EQ(p.targets[1].entries, nullptr);
    EXPECT_EQ(p.targets[2].fileName.length, 0);  // slots beyond the count stay empty
  }
}

TEST(PayloadReader, ByteCountsOfTheSmallestBlocks) {
  struct Row {
    std::string payload;
    int targets;
    const char* what;
  };
  std::string header(11, '\0');
  std::string emptyHeaderOneTarget = std::string(10, '\0') + '\x01';
  std::string emptyTarget(21, '\0');
  auto entryTarget = [](const std::string& entries, int count) {
    std::string block(17, '\0');  // everything up to entryCount
    block += char(count) + std::string(3, count < 0 ? '\xFF' : '\0');
    return block + entries;
  };
  const Row rows[] = {
      {header, 0, "11 zero bytes: eight empty texts, no targets"},
      {emptyHeaderOneTarget + emptyTarget, 1, "an empty target block takes 21 bytes"},
      {emptyHeaderOneTarget + emptyTarget.substr(0, 20), 0, "20 bytes are not a target"},
      {emptyHeaderOneTarget + entryTarget(Hex("00 01 00 00 00 00"), 1), 1, "a WriteAt entry takes 6 bytes"},
      {emptyHeaderOneTarget + entryTarget(Hex("05 01 00 00 00 00 00"), 1), 1, "a TruncateAt entry takes 7 bytes"},
      {emptyHeaderOneTarget + entryTarget(Hex("05 01 00 00 00 00"), 1), 0, "6 bytes are not a TruncateAt entry"},
      {std::string(10, '\0') + '\x02' + entryTarget("", -5) + emptyTarget, 2, "a negative count has no entries"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    LoadPackageFile(folder.Path("p.exe"), row.payload);
    EXPECT_EQ(patchPackage.targetCount, row.targets);
  }
}

TEST(PayloadReader, UnscramblesByPosition) {
  ShortText text = {};
  text.length = 3;
  memcpy(text.bytes, "\x60\x60\x60", 3);
  UnscrambleText(text);
  EXPECT_EQ(Text(text), "abc");

  ShortText zero = {};
  zero.length = 2;
  memcpy(zero.bytes, "\x01\x41", 2);
  UnscrambleText(zero);
  EXPECT_EQ(Text(zero), std::string("\0\x43", 2));  // a byte equal to its position becomes 0 and stays

  ShortText full = {};
  full.length = 255;
  memset(full.bytes, 0, 255);
  UnscrambleText(full);
  EXPECT_EQ(uint8_t(full.bytes[254]), 0xFF);
  EXPECT_EQ(uint8_t(full.bytes[0]), 0x01);
}

TEST(PayloadReader, FindsTheLastMarker) {
  TempFolder folder;
  std::string marker = PayloadMarkerText;
  struct Row {
    std::string file;
    int32_t expected;
    const char* what;
  };
  const Row rows[] = {
      {"no marker in here", -1, "no marker"},
      {marker, 0, "a 12-byte file that is the marker"},
      {marker + "xyz", 0, "a marker at position 0"},
      {"ab" + marker + "cd" + marker + "e", 16, "two markers: the later one"},
      {marker.substr(0, 11), -1, "shorter than the marker"},
      {"", -1, "an empty file"},
  };
  LoadPayloadMarker();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WriteFileBytes(folder.Path("f"), row.file);
    EXPECT_EQ(LocatePayload(folder.Path("f").c_str()), row.expected);
  }
  EXPECT_EQ(LocatePayload(folder.Path("missing").c_str()), -1);
  // 2 GiB and more: positions would not fit, so nothing is looked for.
  WriteFileBytes(folder.Path("huge"), marker);
  ASSERT_EQ(truncate(folder.Path("huge").c_str(), off_t(1) << 31), 0);
  EXPECT_EQ(LocatePayload(folder.Path("huge").c_str()), -1);
}

TEST(PayloadReader, AMarkerInsideThePayloadMisleadsTheReader) {
  PackageDescription package;
  package.titleText = std::string("x") + PayloadMarkerText + std::string(11, '\0');
  package.targets.resize(1);
  LoadPackage(package);
  // Read from behind the marker inside the title: eleven zero bytes make a
  // package with no targets, and the real one is lost.
  EXPECT_EQ(patchPackage.targetCount, 0);
}

TEST(PayloadReader, MoreThanSixteenTargetsAreCutToTheTable) {
  PackageDescription package;
  for (int i = 0; i < 20; i++) {
    TargetDescription target;
    target.fileName = "t" + std::to_string(i);
    target.entries = {{0, i, "x", ""}};
    package.targets.push_back(target);
  }
  LoadPackage(package);
  ASSERT_EQ(patchPackage.targetCount, 16);
  EXPECT_EQ(Text(patchPackage.targets[15].fileName), "t15");
  EXPECT_EQ(patchPackage.targets[15].entries[0].offset, 15);
}

TEST(PayloadReader, ADamagedPayloadKeepsOnlyCompleteTargets) {
  PackageDescription description = TwoTargetPackage();
  description.textsScrambled = 1;
  std::string payload = WritePayload(description);
  PackageDescription firstOnly = description;
  firstOnly.targets.resize(1);
  size_t firstEnds = WritePayload(firstOnly).size();
  TempFolder folder;
  for (size_t cut = 0; cut <= payload.size(); cut++) {
    SCOPED_TRACE(cut);
    LoadPackageFile(folder.Path("p.exe"), payload.substr(0, cut));
    int expected = cut == payload.size() ? 2 : cut >= firstEnds ? 1 : 0;
    ASSERT_EQ(patchPackage.targetCount, expected);
    EXPECT_EQ(patchPackage.targets[0].entryCount, expected >= 1 ? 4 : 0);
    EXPECT_EQ(patchPackage.targets[expected].entries, nullptr);
    EXPECT_EQ(patchPackage.targets[expected].fileName.length, 0);
  }
}

TEST(PayloadReader, AHugeEntryCountAllocatesNothing) {
  PackageDescription package;
  TargetDescription target;
  target.overrideEntryCount = true;
  target.entryCount = 0x7FFFFFFF;
  target.entries = {{0, 0, "x", ""}};
  package.targets = {target};
  LoadPackage(package);
  EXPECT_EQ(patchPackage.targetCount, 0);
}

TEST(CommandLine, TakesTheFirstArgument) {
  struct Row {
    const char* line;
    std::string expected;
    const char* what;
  };
  const Row rows[] = {
      {"patch.exe", "", "no argument"},
      {"patch.exe   ", "", "only blanks after the name"},
      {"\"C:\\My Files\\patch.exe\" game.exe", "game.exe", "quoted program name"},
      {"patch.exe \"C:\\Program Files\\game.exe\"", "C:\\Program Files\\game.exe", "quoted path with blanks"},
      {"patch.exe first second", "first", "two arguments"},
      {"patch.exe \"\" game.exe", "game.exe", "a leading pair of quotes is passed over"},
      {"patch.exe \"\"\"\"  game.exe", "game.exe", "two pairs of quotes"},
      {"patch.exe C:\\\"Program Files\"\\x", "C:\\Program Files\\x", "quoted and unquoted runs join"},
      {"patch.exe\tgame.exe\x01rest", "game.exe", "tab and control bytes separate"},
      {"patch.exe \"open quote to the end", "open quote to the end", "a quote left open runs to the end"},
      {"patch.exe \xD6\xD0\xCE\xC4.exe", "\xD6\xD0\xCE\xC4.exe", "CP936 double-byte characters pass whole"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ByteString argument;
    FirstCommandLineArgument(row.line, argument);
    EXPECT_EQ(std::string(argument.bytes, argument.length), row.expected);
  }
}

}  // namespace
