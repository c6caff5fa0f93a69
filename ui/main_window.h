// The main window: dialog template 100, run modally by start-up.
#pragma once
#include <stdint.h>

#include "package/byte_string.h"
#include "platform/window.h"

intptr_t MainDialogProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void InitMainWindow(WindowHandle window);
void BrowseForTarget(uint8_t index);
void OnDropFiles(WindowHandle window, DropHandle drop);

// The file-open dialog; returns the chosen path in path, or leaves it empty.
void RunOpenFileDialog(WindowHandle owner, const char* initialName, const char* filter, int32_t filterLength,
                       const char* initialDir, const char* title, ByteString& path);

// "A|*.a|B|*.b" as the dialog wants it: "A\0*.a\0B\0*.b\0\0". Writes into
// list (room for filterLength + 2 bytes) and returns false, writing nothing,
// for an empty filter. Stops at a zero byte inside the filter.
bool BuildFilterList(const char* filter, int32_t filterLength, char* list);
