// The two windows' procedures against the fake window layer.
#include <gtest/gtest.h>

#include <string>

#include "package/package_model.h"
#include "package/payload_reader.h"
#include "tests/fake_window.h"
#include "tests/test_support.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "ui/progress_bar.h"
#include "workflow/fixed_texts.h"

namespace {

void LoadTargets(int count, const std::string& fileName, const std::string& filter = "") {
  PackageDescription package;
  package.windowCaption = "My Patch";
  package.titleText = "Title";
  for (int i = 0; i < count; i++) {
    TargetDescription target;
    target.fileName = fileName;
    target.fileFilter = filter;
    package.targets.push_back(target);
  }
  LoadPackage(package);
  ResetFakeWindow();
  mainWindow = nullptr;
  ClearBytes(commandLinePath);
}

TEST(MainWindow, InitialisationShowsTheFirstTarget) {
  struct Row {
    int targets;
    std::string fileName, commandLine, pathBox, startCaption;
    const char* what;
  };
  const Row rows[] = {
      {1, "game.exe", "", "game.exe", "", "one target, no argument"},
      {1, "\"the game\"", "", PathBoxPlaceholder, "", "a quoted name"},
      {1, "game.exe", "C:\\My Games\\game.exe", "C:\\My Games\\game.exe", "", "the command-line path"},
      {3, "game.exe", "", "game.exe", NextStepCaption, "several targets"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    LoadTargets(row.targets, row.fileName);
    AppendText(commandLinePath, row.commandLine.c_str());
    EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_INITDIALOG_, 0, 0), 1);
    EXPECT_EQ(mainWindow, FakeMainWindow);
    EXPECT_EQ(fake.iconSent, 0x77);
    EXPECT_EQ(TextOf(-1), "My Patch");
    EXPECT_EQ(TextOf(1110), "Title");
    EXPECT_EQ(TextOf(2222), row.pathBox);
    EXPECT_EQ(TextOf(1), row.startCaption);
    EXPECT_TRUE((fake.checked[{FakeMainWindow, 4444}]));
    EXPECT_EQ(fake.log.back(), "step 1");
    EXPECT_EQ(fake.log[fake.log.size() - 2], "range 0 100");
    EXPECT_TRUE(fake.progress.empty());
  }
}

TEST(MainWindow, MessageTable) {
  LoadTargets(1, "game.exe");
  MainDialogProc(FakeMainWindow, WM_INITDIALOG_, 0, 0);
  EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_COMMAND_, 4242, 0), 0);
  EXPECT_EQ(MainDialogProc(FakeMainWindow, 0x0200, 0, 0), 0);
  EXPECT_FALSE(fake.ended);
  EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_COMMAND_, 0x00010002, 0), 1);  // only the low word counts
  EXPECT_EQ(fake.endResult, 2);
  EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_CLOSE_, 0, 0), 1);
  EXPECT_EQ(fake.endResult, 0);
  EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_COMMAND_, 3, 0), 1);
  EXPECT_EQ(fake.dialogsRun, std::vector<int>{101});
}

TEST(MainWindow, BrowseOffersTheNameAndTheFilter) {
  struct Row {
    std::string fileName, filter;
    bool choose;
    std::string initialName;
    bool hasFilter;
    std::string list, pathBox;
    const char* what;
  };
  const Row rows[] = {
      {"game.exe", "A|*.a|B|*.b", true, "game.exe", true, std::string("A\0*.a\0B\0*.b\0\0", 13), "C:\\chosen.exe",
       "a chosen file replaces the path"},
      {"\"described\"", "", false, "", false, "", PathBoxPlaceholder, "a quoted name, no filter, cancelled"},
      {"game.exe", "A|*.a|", false, "game.exe", true, std::string("A\0*.a\0\0", 7), "game.exe",
       "a trailing bar changes nothing"},
      {"game.exe", "Only", false, "game.exe", true, std::string("Only\0\0", 6), "game.exe", "no bar at all"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    LoadTargets(1, row.fileName, row.filter);
    MainDialogProc(FakeMainWindow, WM_INITDIALOG_, 0, 0);
    fake.openDialogAnswer = row.choose;
    fake.openDialogChoice = "C:\\chosen.exe";
    EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_COMMAND_, 3333, 0), 1);
    EXPECT_EQ(fake.openDialogInitialName, row.initialName);
    EXPECT_EQ(fake.openDialogHadFilter, row.hasFilter);
    EXPECT_EQ(fake.openDialogFilter, row.list);
    EXPECT_EQ(fake.openDialogTitle, BrowseTitle);
    EXPECT_EQ(TextOf(2222), row.pathBox);
  }
}

TEST(MainWindow, DroppedFiles) {
  struct Row {
    std::vector<std::string> dropped;
    std::string pathBox;
    const char* what;
  };
  const Row rows[] = {
      {{"C:\\one", "C:\\two", "C:\\three"}, "C:\\one", "only the first of three"},
      {{std::string(254, 'd')}, std::string(254, 'd'), "254 bytes are taken"},
      {{std::string(255, 'd')}, "game.exe", "255 bytes are ignored"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    LoadTargets(1, "game.exe");
    MainDialogProc(FakeMainWindow, WM_INITDIALOG_, 0, 0);
    fake.dropped = row.dropped;
    EXPECT_EQ(MainDialogProc(FakeMainWindow, WM_DROPFILES_, 0x55, 0), 1);
    EXPECT_EQ(TextOf(2222), row.pathBox);
    EXPECT_EQ(fake.dropFinished, 1);
    EXPECT_EQ(fake.log.back() == "front", row.pathBox != "game.exe");
  }
}

TEST(AboutWindow, BannerTextAndLinkButtons) {
  struct Row {
    std::string caption1, target1, caption2, target2;
    bool hidden1, hidden2;
  };
  const Row rows[] = {
      {"Home", "http://a", "Docs", "readme.txt", false, false},
      {"Home", "", "Docs", "readme.txt", true, false},
      {"", "http://a", "", "", true, true},
      {"", "", "Docs", "readme.txt", true, false},
  };
  for (const Row& row : rows) {
    PackageDescription package;
    package.aboutText = "By us";
    package.link1Caption = row.caption1;
    package.link1Target = row.target1;
    package.link2Caption = row.caption2;
    package.link2Target = row.target2;
    package.targets.resize(1);
    LoadPackage(package);
    ResetFakeWindow();
    ShowAbout();
    EXPECT_EQ(fake.dialogsRun, std::vector<int>{101});
    EXPECT_EQ(TextOf(1111, FakeAboutWindow), std::string(aboutBanner) + "By us");
    EXPECT_EQ((fake.hidden[{FakeAboutWindow, 2000}]), row.hidden1);
    EXPECT_EQ((fake.hidden[{FakeAboutWindow, 2001}]), row.hidden2);
    EXPECT_EQ(TextOf(2000, FakeAboutWindow), row.hidden1 ? "" : row.caption1);
    EXPECT_EQ(TextOf(2001, FakeAboutWindow), row.hidden2 ? "" : row.caption2);
  }
  // Links open and leave the window open; Esc, WM_CLOSE and a notification
  // code in the high word do nothing; OK closes.
  fake.log.clear();
  EXPECT_EQ(AboutDialogProc(FakeAboutWindow, WM_COMMAND_, 2001, 0), 1);
  EXPECT_EQ(AboutDialogProc(FakeAboutWindow, WM_COMMAND_, 2001, 0), 1);
  EXPECT_EQ(fake.shellOpened, (std::vector<std::string>{"readme.txt", "readme.txt"}));
  EXPECT_EQ(AboutDialogProc(FakeAboutWindow, WM_COMMAND_, 2, 0), 0);
  EXPECT_EQ(AboutDialogProc(FakeAboutWindow, WM_CLOSE_, 0, 0), 0);
  EXPECT_EQ(AboutDialogProc(FakeAboutWindow, WM_COMMAND_, 0x00010001, 0), 0);
  EXPECT_EQ(fake.log.size(), 0u);
  EXPECT_EQ(AboutDialogProc(FakeAboutWindow, WM_COMMAND_, 1, 0), 1);
  EXPECT_EQ(fake.log.back(), "end 0");
}

TEST(ProgressBar, CrcProgressPercents) {
  ResetFakeWindow();
  InitProgressBar();
  struct Row {
    int32_t done, total;
    std::vector<int> sent;
  };
  const Row rows[] = {{0, 0, {}}, {1, 2, {50}}, {1, 8, {12}}, {3, 8, {38}}, {5, 5, {100}}};
  for (const Row& row : rows) {
    fake.progress.clear();
    ReportCrcProgress(row.done, row.total);
    EXPECT_EQ(fake.progress, row.sent);
  }
}

}  // namespace
