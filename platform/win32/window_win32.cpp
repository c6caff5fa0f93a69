// The window services, each one Win32 call with the arguments the program gives.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "platform/window.h"

WindowHandle mainWindow;

static HWND Window(WindowHandle window) { return static_cast<HWND>(window); }

void SetDialogItemText(WindowHandle window, int32_t id, const char* text) { SetDlgItemTextA(Window(window), id, text); }

int32_t GetDialogItemText(WindowHandle window, int32_t id, char* buffer, int32_t capacity) {
  return int32_t(GetDlgItemTextA(Window(window), id, buffer, capacity));
}

WindowHandle GetDialogItem(WindowHandle window, int32_t id) { return GetDlgItem(Window(window), id); }

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return SendMessageA(Window(window), message, wParam, lParam);
}

int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(Window(owner), text, caption, style);
}

void EndDialogWindow(WindowHandle window, intptr_t result) { EndDialog(Window(window), result); }
void SetWindowCaption(WindowHandle window, const char* text) { SetWindowTextA(Window(window), text); }
void HideWindow(WindowHandle window) { ShowWindow(Window(window), SW_HIDE); }
void BringWindowToFront(WindowHandle window) { SetForegroundWindow(Window(window)); }
IconHandle LoadProgramIcon(const char* name) { return LoadIconA(GetModuleHandleA(nullptr), name); }

uint32_t QueryDroppedFile(DropHandle drop, uint32_t index, char* buffer, uint32_t capacity) {
  return DragQueryFileA(static_cast<HDROP>(drop), index, buffer, capacity);
}

void FinishDrop(DropHandle drop) { DragFinish(static_cast<HDROP>(drop)); }

bool ShowOpenFileDialog(WindowHandle owner, char* fileBuffer, const char* filterList, const char* initialDir,
                        const char* title) {
  OPENFILENAMEA dialog;
  ZeroMemory(&dialog, sizeof dialog);
  dialog.lStructSize = 76;  // the form without pvReserved, dwReserved and FlagsEx
  dialog.hwndOwner = Window(owner);
  dialog.hInstance = GetModuleHandleA(nullptr);
  dialog.lpstrFilter = filterList;
  dialog.lpstrFile = fileBuffer;
  dialog.nMaxFile = 260;
  dialog.lpstrInitialDir = initialDir;
  dialog.lpstrTitle = title;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  return GetOpenFileNameA(&dialog) != 0;
}

void OpenWithShell(const char* target) { ShellExecuteA(nullptr, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL); }

// The dialog manager calls Win32's signature; the program's procedures use
// the layer's types, so each dialog gets a small trampoline.
static DialogProcedure procedureForTemplate[2];

static INT_PTR CALLBACK MainTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return procedureForTemplate[0](window, message, wParam, lParam);
}

static INT_PTR CALLBACK AboutTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return procedureForTemplate[1](window, message, wParam, lParam);
}

intptr_t RunModalDialog(int32_t templateId, WindowHandle owner, DialogProcedure procedure) {
  int slot = templateId == 100 ? 0 : 1;
  procedureForTemplate[slot] = procedure;
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), Window(owner),
                         slot == 0 ? MainTrampoline : AboutTrampoline, 0);
}
