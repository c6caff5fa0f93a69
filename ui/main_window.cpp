#include "ui/main_window.h"

#include <string.h>

#include "package/package_model.h"
#include "package/payload_reader.h"
#include "ui/about_window.h"
#include "ui/progress_bar.h"
#include "workflow/fixed_texts.h"
#include "workflow/start_action.h"
#include "workflow/target_info.h"

intptr_t MainDialogProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  switch (message) {
    case WM_CLOSE_:
      EndDialogWindow(window, 0);
      return 1;
    case WM_INITDIALOG_:
      InitMainWindow(window);
      return 1;  // the dialog manager then focuses the first tab stop, Start
    case WM_COMMAND_:
      switch (wParam & 0xFFFF) {
        case 1: StartAction(); return 1;
        case 2: EndDialogWindow(window, 2); return 1;
        case 3: ShowAbout(); return 1;
        case 3333: BrowseForTarget(currentTarget); return 1;
        default: return 0;
      }
    case WM_DROPFILES_:
      OnDropFiles(window, reinterpret_cast<DropHandle>(wParam));
      return 1;
    default:
      return 0;
  }
}

void InitMainWindow(WindowHandle window) {
  mainWindow = window;  // first: everything below reaches the window through it
  SendWindowMessage(mainWindow, WM_SETICON_, ICON_BIG_, intptr_t(LoadProgramIcon("MAINICON")));
  SetWindowCaption(mainWindow, patchPackage.windowCaption.bytes);
  ShowTargetInfo(currentTarget);
  if (patchPackage.targetCount > 1) SetStartCaption(NextStepCaption);
  if (commandLinePath.length > 0) {
    SetTargetPathBox(commandLinePath.bytes, commandLinePath.length);
  } else {
    const ShortText& name = patchPackage.targets[currentTarget].fileName;
    SetTargetPathBox(name.bytes, name.length);
  }
  SendWindowMessage(GetDialogItem(mainWindow, 4444), BM_SETCHECK_, BST_CHECKED_, 0);
  InitProgressBar();
}

void BrowseForTarget(uint8_t index) {
  const TargetRecord& target = patchPackage.targets[index];
  const char* initialName = IsQuotedName(target.fileName.bytes, target.fileName.length) ? "" : target.fileName.bytes;
  ByteString path;
  RunOpenFileDialog(mainWindow, initialName, target.fileFilter.bytes, target.fileFilter.length, "", BrowseTitle, path);
  if (path.length > 0) SetDialogItemText(mainWindow, 2222, path.bytes);
}

void RunOpenFileDialog(WindowHandle owner, const char* initialName, const char* filter, int32_t filterLength,
                       const char* initialDir, const char* title, ByteString& path) {
  char list[257 + 2];
  bool hasList = BuildFilterList(filter, filterLength, list);
  char file[262] = {0};
  size_t nameLength = strlen(initialName);
  memcpy(file, initialName, nameLength < 260 ? nameLength : 260);
  ClearBytes(path);
  if (ShowOpenFileDialog(owner, file, hasList ? list : nullptr, initialDir, title)) {
    file[261] = 0;
    AppendText(path, file);
  }
}

bool BuildFilterList(const char* filter, int32_t filterLength, char* list) {
  if (filterLength <= 0) return false;
  int32_t length = 0;
  while (length < filterLength && filter[length] != 0) length++;
  for (int32_t i = 0; i < length; i++) list[i] = filter[i] == '|' ? 0 : filter[i];
  list[length] = 0;
  list[length + 1] = 0;  // the empty string that ends the list
  return true;
}

void OnDropFiles(WindowHandle window, DropHandle drop) {
  uint32_t length = QueryDroppedFile(drop, 0, nullptr, 0);
  if (length < 255) {
    char name[256] = {0};
    QueryDroppedFile(drop, 0, name, length + 1);
    SetDialogItemText(window, 2222, name);
    BringWindowToFront(window);
  }
  FinishDrop(drop);  // the shell's drop memory is ours to release, on both paths
}
