#include "builder/console_window.h"

#include <cstdio>
#include <cstring>

#include "platform/window.h"

ConsoleWindow console;
WindowHandle mainWindow;

static int consoleAnchor;
static WindowHandle const ConsoleMain = &consoleAnchor;

void ResetConsoleWindow() {
  console = ConsoleWindow();
  mainWindow = ConsoleMain;
}

void SetDialogItemText(WindowHandle, int32_t, const char*) {}

int32_t GetDialogItemText(WindowHandle, int32_t id, char* buffer, int32_t capacity) {
  std::string text = id == 2222 ? console.targetPath : std::string();
  size_t n = text.size() < size_t(capacity - 1) ? text.size() : size_t(capacity - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return int32_t(n);
}

WindowHandle GetDialogItem(WindowHandle, int32_t id) { return reinterpret_cast<WindowHandle>(intptr_t(id)); }

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == BM_GETCHECK_ && window == reinterpret_cast<WindowHandle>(intptr_t(4444))) return console.backupTicked;
  if (message == PBM_SETPOS_ && console.drawProgress) {
    int percent = int(wParam) > 100 ? 100 : int(wParam);
    char bar[41];
    int filled = percent * 40 / 100;
    for (int i = 0; i < 40; i++) bar[i] = i < filled ? '#' : '.';
    bar[40] = 0;
    std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    if (percent == 0) std::fprintf(stderr, "\r%50s\r", "");
    std::fflush(stderr);
  }
  return 0;
}

int32_t ShowMessageBox(WindowHandle, const char* text, const char* caption, uint32_t style) {
  console.boxes.push_back({caption, text, style});
  return (style & 0xF) == 4 ? 7 : 1;  // a question is answered No: the tool works on one target
}

void EndDialogWindow(WindowHandle, intptr_t) { console.ended = true; }
void SetWindowCaption(WindowHandle, const char*) {}
void HideWindow(WindowHandle) {}
void BringWindowToFront(WindowHandle) {}
IconHandle LoadProgramIcon(const char*) { return nullptr; }
uint32_t QueryDroppedFile(DropHandle, uint32_t, char*, uint32_t) { return 0; }
void FinishDrop(DropHandle) {}
bool ShowOpenFileDialog(WindowHandle, char*, const char*, const char*, const char*) { return false; }
void OpenWithShell(const char*) {}
intptr_t RunModalDialog(int32_t, WindowHandle, DialogProcedure) { return 0; }
