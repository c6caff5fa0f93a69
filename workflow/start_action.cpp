#include "workflow/start_action.h"

#include "engine/patch_engine.h"
#include "package/package_model.h"
#include "platform/file_io.h"
#include "platform/window.h"
#include "ui/progress_bar.h"
#include "workflow/fixed_texts.h"
#include "workflow/target_info.h"

const uint32_t ErrorBoxStyle = 0x2010;     // MB_OK | MB_ICONHAND | MB_TASKMODAL
const uint32_t ContinueBoxStyle = 0x2134;  // MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TASKMODAL
const uint32_t ReportBoxStyle = 0x2040;    // MB_OK | MB_ICONASTERISK | MB_TASKMODAL

void ReadTargetPathBox(ByteString& path) {
  char buffer[256] = {0};
  GetDialogItemText(mainWindow, 2222, buffer, 255);
  buffer[254] = 0;
  ClearBytes(path);
  AppendText(path, buffer);
}

bool BackupWanted() {
  WindowHandle box = GetDialogItem(mainWindow, 4444);
  return (SendWindowMessage(box, BM_GETCHECK_, 0, 0) & 0xFF) != 0;
}

void ShowError(const char* text) { ShowMessageBox(mainWindow, text, ErrorCaption, ErrorBoxStyle); }

// Every message about a file: the path as the user gave it, then the complaint.
static void ShowFileError(const ByteString& path, const char* complaint) {
  ByteString text = path;
  AppendText(text, complaint);
  ShowError(text.bytes);
}

bool AskContinue() {
  if (patchPackage.targetCount <= 1 || currentTarget + 1 == patchPackage.targetCount) return false;
  return ShowMessageBox(mainWindow, ContinueQuestion, ContinueCaption, ContinueBoxStyle) == IDYES_;
}

void AdvanceTarget() {
  currentTarget++;
  if (currentTarget == patchPackage.targetCount) {
    EndDialogWindow(mainWindow, 0);
    return;
  }
  ShowTargetInfo(currentTarget);
  const ShortText& name = patchPackage.targets[currentTarget].fileName;
  SetTargetPathBox(name.bytes, name.length);
  if (currentTarget + 1 == patchPackage.targetCount) SetStartCaption(FinishCaption);
}

// After a failed test: offer the next target where there is one.
static void AskAndStep() {
  if (AskContinue()) AdvanceTarget();
}

static void ShowReport(const ByteString& path, PatchOutcome outcome) {
  ByteString report = path;
  AppendText(report, ReportFileWord);
  AppendText(report, outcome.bytesWritten != 0 || outcome.truncated ? ReportSucceeded : ReportNotPatched);
  AppendText(report, ReportPatched);
  AppendText(report, LineBreak);
  AppendText(report, ReportCountOpen);
  AppendDecimal(report, outcome.bytesWritten);
  AppendText(report, ReportCountClose);
  if (outcome.truncated) AppendText(report, ReportTruncatedLine);
  ShowMessageBox(mainWindow, report.bytes, ReportCaption, ReportBoxStyle);
}

void StartAction() {
  ByteString path;
  ReadTargetPathBox(path);
  if (path.length == 0 || SameBytes(path, PathBoxPlaceholder)) {
    ShowError(NoFileChosenMessage);
    AskAndStep();
    return;
  }

  // The open test. A file of 2 GiB or more fails it too: the program's
  // signed 32-bit positions could not address it.
  FileHandle file = OpenFileForReadWrite(path.bytes);
  uint64_t size = 0;
  if (file && (!GetOpenFileSize(file, &size) || size >= 0x80000000u)) {
    CloseFile(file);
    file = nullptr;
  }
  if (!file) {
    ShowFileError(path, OpenFailedComplaint);
    AskAndStep();
    return;
  }

  const TargetRecord& target = patchPackage.targets[currentTarget];
  if (target.checkSize != 0 && uint32_t(size) != uint32_t(target.expectedSize)) {
    ShowFileError(path, SizeMismatchComplaint);  // the file stays open until the box is answered
    CloseFile(file);
    AskAndStep();
    return;
  }
  CloseFile(file);

  if (target.checkCrc != 0) {
    SetStatusText(CheckingCrcStatus);
    uint32_t crc = FileCrc32(path.bytes, ReportCrcProgress);
    ShowTargetInfo(currentTarget);
    SetProgress(0);
    if (crc != target.expectedCrc) {
      ShowFileError(path, CrcMismatchComplaint);
      AskAndStep();
      return;
    }
  }

  // "If possible": a backup that cannot be made (one exists already, no room,
  // no access) is skipped without a word, and an existing one is never touched.
  if (BackupWanted()) {
    ByteString backup = path;
    AppendText(backup, BackupSuffix);
    CopyFileNoReplace(path.bytes, backup.bytes);
  }

  SetStatusText(PatchingStatus);
  PatchOutcome outcome = ApplyTargetPatch(path.bytes);
  ShowTargetInfo(currentTarget);
  ShowReport(path, outcome);
  AdvanceTarget();
}
