// The About window: dialog template 101, owned by the main window.
#pragma once
#include <stdint.h>

#include "platform/window.h"

void ShowAbout();
intptr_t AboutDialogProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void InitAboutWindow(WindowHandle window);
void OpenLink(const char* target);
