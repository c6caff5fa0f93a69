// A window layer that does nothing, for the benchmarks: the engine's
// progress messages cost a call and no more.
#include "platform/window.h"

WindowHandle mainWindow;

void SetDialogItemText(WindowHandle, int32_t, const char*) {}
int32_t GetDialogItemText(WindowHandle, int32_t, char* buffer, int32_t) {
  buffer[0] = 0;
  return 0;
}
WindowHandle GetDialogItem(WindowHandle, int32_t) { return nullptr; }
intptr_t SendWindowMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }
int32_t ShowMessageBox(WindowHandle, const char*, const char*, uint32_t) { return 1; }
void EndDialogWindow(WindowHandle, intptr_t) {}
void SetWindowCaption(WindowHandle, const char*) {}
void HideWindow(WindowHandle) {}
void BringWindowToFront(WindowHandle) {}
IconHandle LoadProgramIcon(const char*) { return nullptr; }
uint32_t QueryDroppedFile(DropHandle, uint32_t, char*, uint32_t) { return 0; }
void FinishDrop(DropHandle) {}
bool ShowOpenFileDialog(WindowHandle, char*, const char*, const char*, const char*) { return false; }
void OpenWithShell(const char*) {}
intptr_t RunModalDialog(int32_t, WindowHandle, DialogProcedure) { return 0; }
