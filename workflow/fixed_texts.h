// The program's fixed texts, each kept once as its code page 936 bytes.
// Octal escapes, since a \x escape would swallow the hex digits after it.
// The readable form stands beside each; a test converts every readable form
// with iconv and compares it with these bytes.
#pragma once

extern const char FileNameLabel[];
extern const char FileSizeLabel[];
extern const char LineBreak[];
extern const char NoSizeLine[];
extern const char FileDateLabel[];
extern const char NoDate[];
extern const char ReadyWord[];
extern const char StepCounterOpen[];
extern const char StepCounterSlash[];
extern const char StepCounterClose[];
extern const char PathBoxPlaceholder[];
extern const char NoFileChosenMessage[];
extern const char OpenFailedComplaint[];
extern const char SizeMismatchComplaint[];
extern const char CrcMismatchComplaint[];
extern const char ErrorCaption[];
extern const char ContinueQuestion[];
extern const char ContinueCaption[];
extern const char CheckingCrcStatus[];
extern const char PatchingStatus[];
extern const char BackupSuffix[];
extern const char ReportFileWord[];
extern const char ReportSucceeded[];
extern const char ReportNotPatched[];
extern const char ReportPatched[];
extern const char ReportCountOpen[];
extern const char ReportCountClose[];
extern const char ReportTruncatedLine[];
extern const char ReportCaption[];
extern const char FinishCaption[];
extern const char NextStepCaption[];
extern const char BrowseTitle[];
extern const char aboutBanner[];
