#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <string>

#include "engine/patch_engine.h"
#include "package/package_model.h"
#include "tests/fake_window.h"
#include "tests/test_support.h"
#include "workflow/fixed_texts.h"
#include "workflow/start_action.h"

namespace {

const std::string Original = "Hello, patch world";

uint32_t CrcOf(const std::string& bytes) {
  return ~Crc32Update(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), 0xFFFFFFFFu);
}

TargetDescription Target(std::vector<EntryDescription> entries) {
  TargetDescription target;
  target.fileName = "target.bin";
  target.expectedSize = int32_t(Original.size());
  target.expectedCrc = CrcOf(Original);
  target.checkSize = 1;
  target.checkCrc = 1;
  target.entries = entries;
  return target;
}

// How many of this process's descriptors are open on path.
int OpenDescriptorsOn(const std::string& path) {
  char wanted[PATH_MAX];
  if (!realpath(path.c_str(), wanted)) return 0;
  int count = 0;
  for (int fd = 0; fd < 1024; fd++) {
    char link[64], target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n > 0 && std::string(target, size_t(n)) == wanted) count++;
  }
  return count;
}

std::string Report(const std::string& path, const char* verdict, int count, bool truncated) {
  return path + ReportFileWord + verdict + ReportPatched + "\r\n[" + std::to_string(count) + ReportCountClose +
         (truncated ? ReportTruncatedLine : "");
}

TEST(StartAction, OneTargetOutcomes) {
  struct Row {
    std::string pathBox;  // "$" stands for the target's path
    TargetDescription target;
    bool backupTicked;
    bool backupExists;
    std::string message;  // "$" likewise
    std::string caption;
    uint32_t style;
    std::string after;
    bool backupMade;
    const char* what;
  };
  TargetDescription sizeOnly = Target({{0, 0, "J", ""}});
  sizeOnly.checkCrc = 0;
  TargetDescription wrongSize = sizeOnly;
  wrongSize.expectedSize = 5;
  TargetDescription wrongCrc = Target({{0, 0, "J", ""}});
  wrongCrc.expectedCrc ^= 1;
  TargetDescription noChecks = Target({{0, 0, "J", ""}});
  noChecks.checkSize = noChecks.checkCrc = 0;
  noChecks.expectedSize = 1;
  const std::string placeholder = PathBoxPlaceholder;
  const std::string error = ErrorCaption;
  const std::string patched = "Jello, patch world";
  const Row rows[] = {
      {"", Target({}), true, false, NoFileChosenMessage, error, 0x2010, Original, false, "an empty path"},
      {placeholder, Target({}), true, false, NoFileChosenMessage, error, 0x2010, Original, false, "the placeholder"},
      {placeholder + "x", Target({}), true, false, placeholder + "x" + OpenFailedComplaint, error, 0x2010, Original,
       false, "the placeholder and one byte more"},
      {"$.missing", Target({}), true, false, std::string("$.missing") + OpenFailedComplaint, error, 0x2010, Original,
       false, "a missing file"},
      {"$", wrongSize, true, false, std::string("$") + SizeMismatchComplaint, error, 0x2010, Original, false,
       "a wrong size"},
      {"$", wrongCrc, true, false, std::string("$") + CrcMismatchComplaint, error, 0x2010, Original, false,
       "a wrong checksum"},
      {"$", Target({{0, 0, "J", ""}}), true, false, Report("$", ReportSucceeded, 1, false), ReportCaption, 0x2040,
       patched, true, "success with a backup"},
      {"$", Target({{0, 0, "J", ""}}), false, false, Report("$", ReportSucceeded, 1, false), ReportCaption, 0x2040,
       patched, false, "success without a backup"},
      {"$", Target({{0, 0, "J", ""}}), true, true, Report("$", ReportSucceeded, 1, false), ReportCaption, 0x2040,
       patched, false, "an existing backup is kept"},
      {"$", Target({{2, 0, "Q", "nothing"}}), true, false, Report("$", ReportNotPatched, 0, false), ReportCaption,
       0x2040, Original, true, "nothing written"},
      {"$", Target({{5, 5, "", ""}}), true, false, Report("$", ReportSucceeded, 0, true), ReportCaption, 0x2040,
       "Hello", true, "truncated only"},
      {"$", noChecks, true, false, Report("$", ReportSucceeded, 1, false), ReportCaption, 0x2040, patched, true,
       "no checks at all"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    std::string path = folder.Path("target.bin");
    auto expand = [&](std::string text) {
      for (size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, path);
      return text;
    };
    WriteFileBytes(path, Original);
    if (row.backupExists) WriteFileBytes(path + ".bak", "older backup");
    PackageDescription package;
    package.targets = {row.target};
    LoadPackage(package);
    ResetFakeWindow();
    fake.texts[{FakeMainWindow, 2222}] = expand(row.pathBox);
    fake.checked[{FakeMainWindow, 4444}] = row.backupTicked;
    int openDuringBox = -1;
    fake.onBox = [&](const MessageBoxCall&) { openDuringBox = OpenDescriptorsOn(path); };

    StartAction();

    ASSERT_EQ(fake.boxes.size(), 1u);  // one target: never the continue question
    EXPECT_EQ(fake.boxes[0].text, expand(row.message));
    EXPECT_EQ(fake.boxes[0].caption, row.caption);
    EXPECT_EQ(fake.boxes[0].style, row.style);
    EXPECT_EQ(ReadFileBytes(path), row.after);
    EXPECT_EQ(FileExists(path + ".bak") && ReadFileBytes(path + ".bak") == Original, row.backupMade);
    if (row.backupExists) {
      EXPECT_EQ(ReadFileBytes(path + ".bak"), "older backup");
    }
    bool success = row.caption == ReportCaption;
    EXPECT_EQ(fake.ended, success);  // one target: the window closes after any report
    if (success) {
      EXPECT_EQ(fake.endResult, 0);
    }
    EXPECT_EQ(openDuringBox, row.message.find(SizeMismatchComplaint) != std::string::npos ? 1 : 0);
    EXPECT_EQ(OpenDescriptorsOn(path), 0);
    EXPECT_EQ(currentTarget, success ? 1 : 0);
  }
}

TEST(StartAction, APathIsCutTo254Bytes) {
  TempFolder folder;
  PackageDescription package;
  package.targets = {Target({})};
  LoadPackage(package);
  ResetFakeWindow();
  std::string typed(300, 'p');
  fake.texts[{FakeMainWindow, 2222}] = typed;
  StartAction();
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].text, typed.substr(0, 254) + OpenFailedComplaint);
}

// The first bytes and the size: enough to see a file unchanged without
// reading 2 GiB of it.
std::string Fingerprint(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[64] = {0};
  in.read(head, sizeof head);
  struct stat status;
  stat(path.c_str(), &status);
  return std::string(head, size_t(in.gcount())) + "/" + std::to_string(status.st_size);
}

// A file the open test must refuse, though the target checks nothing: the
// message, no backup, and the file as it was.
void ExpectOpenTestRefuses(const std::string& path) {
  TargetDescription target = Target({{0, 0, "J", ""}});
  target.checkSize = target.checkCrc = 0;
  PackageDescription package;
  package.targets = {target};
  LoadPackage(package);
  ResetFakeWindow();
  fake.texts[{FakeMainWindow, 2222}] = path;
  fake.checked[{FakeMainWindow, 4444}] = true;
  std::string before = Fingerprint(path);
  StartAction();
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].text, path + OpenFailedComplaint);
  EXPECT_FALSE(FileExists(path + ".bak"));
  EXPECT_EQ(Fingerprint(path), before);
}

TEST(StartAction, AFileOf2GiBFailsTheOpenTest) {
  TempFolder folder;
  std::string path = folder.Path("huge.bin");
  WriteFileBytes(path, "");
  ASSERT_EQ(truncate(path.c_str(), off_t(1) << 31), 0);  // sparse: no real space taken
  ExpectOpenTestRefuses(path);
}

TEST(StartAction, AnImmutableFileFailsTheOpenTest) {
  // As root, permission bits do not stop a write; the immutable flag does.
  // The fixture lives beside the tests: /tmp may not carry the flag.
  char folderName[] = "immutable-XXXXXX";
  ASSERT_TRUE(mkdtemp(folderName));
  std::string folder = folderName, path = folder + "/target.bin";
  WriteFileBytes(path, Original);
  if (system(("chattr +i " + path + " 2>/dev/null").c_str()) != 0) {
    system(("rm -rf " + folder).c_str());
    GTEST_SKIP() << "no immutable flag on this file system";
  }
  ExpectOpenTestRefuses(path);
  system(("chattr -i " + path + " && rm -rf " + folder).c_str());
}

TEST(StartAction, SteppingThroughThreeTargets) {
  TempFolder folder;
  std::string path = folder.Path("t");
  WriteFileBytes(path, "short");
  PackageDescription package;
  for (int i = 0; i < 3; i++) {
    TargetDescription target = Target({});
    target.fileName = "file" + std::to_string(i);
    target.checkCrc = 0;  // every try fails the size test
    package.targets.push_back(target);
  }
  LoadPackage(package);
  ResetFakeWindow();
  const std::string question = ContinueQuestion;

  // Size error on the first target, then No: the same target, unchanged.
  fake.texts[{FakeMainWindow, 2222}] = path;
  fake.answers = {1, 7};
  StartAction();
  ASSERT_EQ(fake.boxes.size(), 2u);
  EXPECT_EQ(fake.boxes[1].text, question);
  EXPECT_EQ(fake.boxes[1].caption, ContinueCaption);
  EXPECT_EQ(fake.boxes[1].style, 0x2134u);
  EXPECT_EQ(currentTarget, 0);
  EXPECT_EQ(TextOf(2222), path);

  // Yes: the second target, its name in the path box, caption untouched.
  fake.answers = {1, 6};
  StartAction();
  EXPECT_EQ(currentTarget, 1);
  EXPECT_EQ(TextOf(2222), "file1");
  EXPECT_EQ(TextOf(1), "");
  EXPECT_NE(TextOf(1113).find(" 2/3]"), std::string::npos);

  // Yes again: the last target, "Finish" on the button.
  fake.texts[{FakeMainWindow, 2222}] = path;
  fake.answers = {1, 6};
  StartAction();
  EXPECT_EQ(currentTarget, 2);
  EXPECT_EQ(TextOf(1), FinishCaption);

  // An error on the last target asks nothing and stays.
  fake.texts[{FakeMainWindow, 2222}] = path;
  size_t before = fake.boxes.size();
  StartAction();
  EXPECT_EQ(fake.boxes.size(), before + 1);
  EXPECT_EQ(currentTarget, 2);
  EXPECT_FALSE(fake.ended);
}

TEST(StartAction, ASuccessMovesOnAndTheLastClosesTheWindow) {
  TempFolder folder;
  PackageDescription package;
  for (int i = 0; i < 2; i++) {
    TargetDescription target = Target({{0, 0, "J", ""}});
    target.fileName = "f" + std::to_string(i);
    package.targets.push_back(target);
  }
  LoadPackage(package);
  ResetFakeWindow();
  for (int i = 0; i < 2; i++) {
    std::string path = folder.Path("f" + std::to_string(i));
    WriteFileBytes(path, Original);
    fake.texts[{FakeMainWindow, 2222}] = path;
    StartAction();
    EXPECT_EQ(ReadFileBytes(path), "Jello, patch world");
  }
  EXPECT_TRUE(fake.ended);
  EXPECT_EQ(fake.endResult, 0);
  EXPECT_EQ(currentTarget, 2);
}

TEST(StartAction, StatusAndProgressOfAWholeClick) {
  TempFolder folder;
  std::string path = folder.Path("target.bin");
  WriteFileBytes(path, Original);
  PackageDescription package;
  package.targets = {Target({{2, 0, "J", "H"}})};
  LoadPackage(package);
  ResetFakeWindow();
  fake.texts[{FakeMainWindow, 2222}] = path;
  StartAction();
  // The checksum's one block, the reset, then the search: block at 0, the
  // block after the replacement, the read at the end, the reset.
  EXPECT_EQ(fake.progress, (std::vector<int>{100, 0, 0, 6, 100, 0}));
  std::vector<std::string> statuses;
  for (const std::string& line : fake.log)
    if (line.rfind("text 1113 ", 0) == 0) statuses.push_back(line.substr(10));
  const std::string ready = ReadyWord;
  EXPECT_EQ(statuses, (std::vector<std::string>{CheckingCrcStatus, ready, PatchingStatus, ready}));
}

}  // namespace
