// Window services for the workflow and the windows, one procedure per Win32
// call they make, with the same arguments.
//
// Provided by the OS port: platform/win32/window_win32.cpp passes each call
// straight to user32/comdlg32/shell32; tests/fake_window.cpp records every
// call and answers message boxes from a script, so the code above this layer
// runs unchanged in native tests.
#pragma once
#include <stdint.h>

typedef void* WindowHandle;
typedef void* DropHandle;
typedef void* IconHandle;

// The main dialog; set as the first act of InitMainWindow and never cleared.
extern WindowHandle mainWindow;

// Window messages and values used by the program, by their Win32 names. The
// trailing underscore keeps them apart from windows.h's macros of the same
// names, which the Win32 port includes beside this header.
enum : uint32_t {
  WM_CLOSE_ = 0x0010,
  WM_SETICON_ = 0x0080,
  WM_INITDIALOG_ = 0x0110,
  WM_COMMAND_ = 0x0111,
  WM_DROPFILES_ = 0x0233,
  BM_GETCHECK_ = 0x00F0,
  BM_SETCHECK_ = 0x00F1,
  PBM_SETPOS_ = 0x0402,
  PBM_SETSTEP_ = 0x0404,
  PBM_SETRANGE32_ = 0x0406,
};
const uint32_t ICON_BIG_ = 1;
const uint32_t BST_CHECKED_ = 1;
const int32_t IDYES_ = 6;

// SetDlgItemTextA: text is NUL-terminated bytes, shown as the ANSI code page reads them.
void SetDialogItemText(WindowHandle window, int32_t id, const char* text);
// GetDlgItemTextA into buffer (capacity bytes, NUL included); returns the length.
int32_t GetDialogItemText(WindowHandle window, int32_t id, char* buffer, int32_t capacity);
// GetDlgItem.
WindowHandle GetDialogItem(WindowHandle window, int32_t id);
// SendMessageA; returns the message's result.
intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// MessageBoxA; returns the button pressed.
int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t style);
// EndDialog.
void EndDialogWindow(WindowHandle window, intptr_t result);
// SetWindowTextA.
void SetWindowCaption(WindowHandle window, const char* text);
// ShowWindow(window, SW_HIDE).
void HideWindow(WindowHandle window);
// SetForegroundWindow.
void BringWindowToFront(WindowHandle window);
// LoadIconA(program module, name).
IconHandle LoadProgramIcon(const char* name);

// DragQueryFileA(drop, index, buffer, capacity): with a null buffer the
// length of the name without its NUL.
uint32_t QueryDroppedFile(DropHandle drop, uint32_t index, char* buffer, uint32_t capacity);
// DragFinish.
void FinishDrop(DropHandle drop);

// GetOpenFileNameA with the program's fixed settings (OFN_FILEMUSTEXIST |
// OFN_HIDEREADONLY, nMaxFile 260). fileBuffer holds at least 262 bytes and
// carries the initial name in and the chosen path out; filterList may be
// null. Returns true when the user chose a file.
bool ShowOpenFileDialog(WindowHandle owner, char* fileBuffer, const char* filterList,
                        const char* initialDir, const char* title);

// ShellExecuteA(no window, default verb, target, no parameters, no directory, SW_SHOWNORMAL).
void OpenWithShell(const char* target);

// DialogBoxParamA(program module, template, owner, proc, 0) for the
// program's two dialogs; returns the dialog's result.
typedef intptr_t (*DialogProcedure)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam);
intptr_t RunModalDialog(int32_t templateId, WindowHandle owner, DialogProcedure procedure);
