#include <gtest/gtest.h>

#include <string>

#include "package/package_model.h"
#include "tests/fake_window.h"
#include "tests/test_support.h"
#include "workflow/fixed_texts.h"
#include "workflow/target_info.h"

namespace {

const std::string Name = FileNameLabel;
const std::string Size = FileSizeLabel;
const std::string Date = FileDateLabel;
const std::string Ready = ReadyWord;

TEST(TargetInfo, PanelStatusAndPathBox) {
  struct Row {
    std::string fileName;
    uint8_t checkSize, hasDate;
    std::string sizeText, dateText;
    int targets, index;
    std::string panel, status, pathBox;
    const char* what;
  };
  const std::string placeholder = PathBoxPlaceholder;
  const Row rows[] = {
      {"game.exe", 1, 1, "1 KB", "2001", 1, 0, Name + "game.exe" + Size + "1 KB\r\n" + Date + "2001", Ready, "game.exe",
       "a plain name, one target"},
      {"\"the manual\"", 0, 0, "x", "y", 1, 0, Name + "the manual" + Size + "-\r\n" + Date + "-", Ready, placeholder,
       "a quoted name, no size, no date"},
      {"\"", 1, 1, "", "", 1, 0, Name + Size + "\r\n" + Date, Ready, placeholder, "one quote byte, empty texts"},
      {"\"\"", 1, 0, "", "", 1, 0, Name + Size + "\r\n" + Date + "-", Ready, placeholder, "two quote bytes"},
      {"\"lead", 0, 0, "", "", 1, 0, Name + "\"lead" + Size + "-\r\n" + Date + "-", Ready, "\"lead", "only a leading quote"},
      {"trail\"", 0, 0, "", "", 1, 0, Name + "trail\"" + Size + "-\r\n" + Date + "-", Ready, "trail\"",
       "only a trailing quote"},
      {"", 0, 0, "", "", 1, 0, Name + Size + "-\r\n" + Date + "-", Ready, "", "an empty name"},
      {"a", 0, 0, "", "", 3, 0, Name + "a" + Size + "-\r\n" + Date + "-", Ready + " [" "\xB2\xBD\xBD\xF8" " 1/3]", "a",
       "three targets, the first"},
      {"a", 0, 0, "", "", 12, 9, Name + "a" + Size + "-\r\n" + Date + "-", Ready + " [" "\xB2\xBD\xBD\xF8" " 10/12]", "a",
       "twelve targets at index 9"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    PackageDescription package;
    package.titleText = "Title";
    package.descriptionText = "Desc";
    for (int i = 0; i < row.targets; i++) {
      TargetDescription target;
      target.fileName = row.fileName;
      target.checkSize = row.checkSize;
      target.hasDate = row.hasDate;
      target.sizeText = row.sizeText;
      target.dateText = row.dateText;
      package.targets.push_back(target);
    }
    LoadPackage(package);
    for (int twice = 0; twice < 2; twice++) {
      ResetFakeWindow();
      ShowTargetInfo(uint8_t(row.index));
      EXPECT_EQ(TextOf(1110), "Title");
      EXPECT_EQ(TextOf(1111), "Desc");
      EXPECT_EQ(TextOf(1112), row.panel);
      EXPECT_EQ(std::string(targetInfoText.bytes, targetInfoText.length), row.panel);
      EXPECT_EQ(TextOf(1113), row.status);
    }
    const ShortText& name = patchPackage.targets[row.index].fileName;
    SetTargetPathBox(name.bytes, name.length);
    EXPECT_EQ(TextOf(2222), row.pathBox);
  }
}

}  // namespace
