#include "workflow/fixed_texts.h"

// "文件名字：" (starts the first panel line)
const char FileNameLabel[] = "\316\304\274\376\303\373\327\326\243\272";
// "\r\n文件大小：" (line break, then the size label)
const char FileSizeLabel[] = "\r\n\316\304\274\376\264\363\320\241\243\272";
// "\r\n"
const char LineBreak[] = "\r\n";
// "-\r\n" (the size line when the size is not checked)
const char NoSizeLine[] = "-\r\n";
// "文件日期：" (starts the third panel line)
const char FileDateLabel[] = "\316\304\274\376\310\325\306\332\243\272";
// "-" (the date line when the target has no date)
const char NoDate[] = "-";
// "就绪" (Ready)
const char ReadyWord[] = "\276\315\320\367";
// " [步进 " (opens the step counter)
const char StepCounterOpen[] = " [\262\275\275\370 ";
// "/"
const char StepCounterSlash[] = "/";
// "]"
const char StepCounterClose[] = "]";
// "[请选择进行补丁的目标文件]" (please choose the target file to patch)
const char PathBoxPlaceholder[] = "[\307\353\321\241\324\361\275\370\320\320\262\271\266\241\265\304\304\277\261\352\316\304\274\376]";
// "没有文件被选择。请首先选择进行补丁的目标文件。" (No file was chosen. Please first choose the target file to patch.)
const char NoFileChosenMessage[] = "\303\273\323\320\316\304\274\376\261\273\321\241\324\361\241\243\307\353\312\327\317\310\321\241\324\361\275\370\320\320\262\271\266\241\265\304\304\277\261\352\316\304\274\376\241\243";
// " - 文件没有被发现，或文件访问错误！" (file not found, or file access error)
const char OpenFailedComplaint[] = " - \316\304\274\376\303\273\323\320\261\273\267\242\317\326\243\254\273\362\316\304\274\376\267\303\316\312\264\355\316\363\243\241";
// " - 文件尺寸或版本不匹配！" (file size or version does not match)
const char SizeMismatchComplaint[] = " - \316\304\274\376\263\337\264\347\273\362\260\346\261\276\262\273\306\245\305\344\243\241";
// " - CRC32 错误。版本不匹配或者文件已经被补丁过！" (CRC32 error: wrong version or already patched)
const char CrcMismatchComplaint[] = " - CRC32 \264\355\316\363\241\243\260\346\261\276\262\273\306\245\305\344\273\362\325\337\316\304\274\376\322\321\276\255\261\273\262\271\266\241\271\375\243\241";
// "错误" (Error)
const char ErrorCaption[] = "\264\355\316\363";
// "在这个补丁断点将不会发生任何变化。\r\n无论如何都要继续进行下一步吗？" (Nothing will change at this break point. Go on with the next step anyway?)
const char ContinueQuestion[] = "\324\332\325\342\270\366\262\271\266\241\266\317\265\343\275\253\262\273\273\341\267\242\311\372\310\316\272\316\261\344\273\257\241\243\r\n\316\336\302\333\310\347\272\316\266\274\322\252\274\314\320\370\275\370\320\320\317\302\322\273\262\275\302\360\243\277";
// "P处理失败" (P, processing failed)
const char ContinueCaption[] = "P\264\246\300\355\312\247\260\334";
// "正在检查 CRC32..." (Checking CRC32...)
const char CheckingCrcStatus[] = "\325\375\324\332\274\354\262\351 CRC32...";
// "正在补丁..." (Patching...)
const char PatchingStatus[] = "\325\375\324\332\262\271\266\241...";
// ".bak"
const char BackupSuffix[] = ".bak";
// " - 文件" (file)
const char ReportFileWord[] = " - \316\304\274\376";
// "被成功地" (was successfully)
const char ReportSucceeded[] = "\261\273\263\311\271\246\265\330";
// "没有被" (was not)
const char ReportNotPatched[] = "\303\273\323\320\261\273";
// "补丁！" (patched!)
const char ReportPatched[] = "\262\271\266\241\243\241";
// "["
const char ReportCountOpen[] = "[";
// " 字节被写入]" (bytes were written)
const char ReportCountClose[] = " \327\326\275\332\261\273\320\264\310\353]";
// "\r\n文件被截短" (the file was truncated)
const char ReportTruncatedLine[] = "\r\n\316\304\274\376\261\273\275\330\266\314";
// " 补丁进程成功" (patch process succeeded)
const char ReportCaption[] = " \262\271\266\241\275\370\263\314\263\311\271\246";
// "结束" (Finish)
const char FinishCaption[] = "\275\341\312\370";
// "下步 >" (Next step)
const char NextStepCaption[] = "\317\302\262\275 >";
// "请选择进行补丁的目标文件！" (please choose the target file to patch!)
const char BrowseTitle[] = "\307\353\321\241\324\361\275\370\320\320\262\271\266\241\265\304\304\277\261\352\316\304\274\376\243\241";
// "-={ Quillbrand Runtime }=-\r\n生成程序：Quillbrand 向导\r\n" (banner of the About window; generator: Quillbrand wizard)
const char aboutBanner[] = "-={ Quillbrand Runtime }=-\r\n\311\372\263\311\263\314\320\362\243\272Quillbrand \317\362\265\274\r\n";
