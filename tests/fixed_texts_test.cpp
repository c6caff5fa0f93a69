#include <gtest/gtest.h>
#include <iconv.h>
#include <string.h>

#include <string>

#include "workflow/fixed_texts.h"

namespace {

std::string ToCodePage936(const std::string& utf8) {
  iconv_t convert = iconv_open("CP936", "UTF-8");
  EXPECT_NE(convert, iconv_t(-1));
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* to = &out[0];
  size_t outLeft = out.size();
  EXPECT_NE(iconv(convert, &in, &inLeft, &to, &outLeft), size_t(-1)) << utf8;
  iconv_close(convert);
  out.resize(out.size() - outLeft);
  return out;
}

struct FixedText {
  const char* readable;
  const char* bytes;
  size_t length;
};

// Each text in its readable form, as the windows must show it.
const FixedText fixedTexts[] = {
    {"文件名字：", FileNameLabel, 10},
    {"\r\n文件大小：", FileSizeLabel, 12},
    {"\r\n", LineBreak, 2},
    {"-\r\n", NoSizeLine, 3},
    {"文件日期：", FileDateLabel, 10},
    {"-", NoDate, 1},
    {"就绪", ReadyWord, 4},
    {" [步进 ", StepCounterOpen, 7},
    {"/", StepCounterSlash, 1},
    {"]", StepCounterClose, 1},
    {"[请选择进行补丁的目标文件]", PathBoxPlaceholder, 26},
    {"没有文件被选择。请首先选择进行补丁的目标文件。", NoFileChosenMessage, 46},
    {" - 文件没有被发现，或文件访问错误！", OpenFailedComplaint, 35},
    {" - 文件尺寸或版本不匹配！", SizeMismatchComplaint, 25},
    {" - CRC32 错误。版本不匹配或者文件已经被补丁过！", CrcMismatchComplaint, 47},
    {"错误", ErrorCaption, 4},
    {"在这个补丁断点将不会发生任何变化。\r\n无论如何都要继续进行下一步吗？", ContinueQuestion, 66},
    {"P处理失败", ContinueCaption, 9},
    {"正在检查 CRC32...", CheckingCrcStatus, 17},
    {"正在补丁...", PatchingStatus, 11},
    {".bak", BackupSuffix, 4},
    {" - 文件", ReportFileWord, 7},
    {"被成功地", ReportSucceeded, 8},
    {"没有被", ReportNotPatched, 6},
    {"补丁！", ReportPatched, 6},
    {"[", ReportCountOpen, 1},
    {" 字节被写入]", ReportCountClose, 12},
    {"\r\n文件被截短", ReportTruncatedLine, 12},
    {" 补丁进程成功", ReportCaption, 13},
    {"结束", FinishCaption, 4},
    {"下步 >", NextStepCaption, 6},
    {"请选择进行补丁的目标文件！", BrowseTitle, 26},
    {"-={ Quillbrand Runtime }=-\r\n生成程序：Quillbrand 向导\r\n", aboutBanner, 55},
};

TEST(FixedTexts, AreTheirReadableFormsInCodePage936) {
  for (const FixedText& text : fixedTexts) {
    SCOPED_TRACE(text.readable);
    EXPECT_EQ(std::string(text.bytes), ToCodePage936(text.readable));
    EXPECT_EQ(strlen(text.bytes), text.length);
  }
}

}  // namespace
