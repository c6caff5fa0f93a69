#include "workflow/target_info.h"

#include "package/package_model.h"
#include "platform/window.h"
#include "workflow/fixed_texts.h"

ByteString targetInfoText;

bool IsQuotedName(const char* name, int32_t length) {
  return length > 0 && name[0] == '"' && name[length - 1] == '"';
}

void SetStatusText(const char* text) { SetDialogItemText(mainWindow, 1113, text); }

void SetStartCaption(const char* text) { SetDialogItemText(mainWindow, 1, text); }

void ShowTargetInfo(uint8_t index) {
  SetDialogItemText(mainWindow, 1110, patchPackage.titleText.bytes);
  SetDialogItemText(mainWindow, 1111, patchPackage.descriptionText.bytes);

  const TargetRecord& target = patchPackage.targets[index];
  ByteString& panel = targetInfoText;
  ClearBytes(panel);
  AppendText(panel, FileNameLabel);
  if (IsQuotedName(target.fileName.bytes, target.fileName.length)) {
    if (target.fileName.length > 2) AppendBytes(panel, target.fileName.bytes + 1, target.fileName.length - 2);
  } else {
    AppendShortText(panel, target.fileName);
  }
  AppendText(panel, FileSizeLabel);
  if (target.checkSize != 0) {
    AppendShortText(panel, target.sizeText);
    AppendText(panel, LineBreak);
  } else {
    AppendText(panel, NoSizeLine);
  }
  AppendText(panel, FileDateLabel);
  if (target.hasDate != 0) AppendShortText(panel, target.dateText);
  else AppendText(panel, NoDate);
  SetDialogItemText(mainWindow, 1112, panel.bytes);

  ByteString status;
  ClearBytes(status);
  AppendText(status, ReadyWord);
  if (patchPackage.targetCount > 1) {
    AppendText(status, StepCounterOpen);
    AppendDecimal(status, index + 1);
    AppendText(status, StepCounterSlash);
    AppendDecimal(status, patchPackage.targetCount);
    AppendText(status, StepCounterClose);
  }
  SetStatusText(status.bytes);
}

void SetTargetPathBox(const char* name, int32_t length) {
  SetDialogItemText(mainWindow, 2222, IsQuotedName(name, length) ? PathBoxPlaceholder : name);
}
