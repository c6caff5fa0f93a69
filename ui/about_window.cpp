#include "ui/about_window.h"

#include "package/package_model.h"
#include "workflow/fixed_texts.h"

void ShowAbout() { RunModalDialog(101, mainWindow, AboutDialogProc); }

intptr_t AboutDialogProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == WM_INITDIALOG_) {
    InitAboutWindow(window);
    return 1;
  }
  if (message != WM_COMMAND_) return 0;
  // The whole wParam: a command counts only with notification code 0. Esc
  // (command 2) and WM_CLOSE are not handled: OK and Enter close the window.
  switch (wParam) {
    case 1: EndDialogWindow(window, 0); return 1;
    case 2000: OpenLink(patchPackage.link1Target.bytes); return 1;
    case 2001: OpenLink(patchPackage.link2Target.bytes); return 1;
    default: return 0;
  }
}

static void ShowLinkButton(WindowHandle window, int32_t id, const ShortText& caption, const ShortText& target) {
  if (caption.length > 0 && target.length > 0) SetDialogItemText(window, id, caption.bytes);
  else HideWindow(GetDialogItem(window, id));
}

void InitAboutWindow(WindowHandle window) {
  ByteString text;
  ClearBytes(text);
  AppendText(text, aboutBanner);
  AppendShortText(text, patchPackage.aboutText);
  SetDialogItemText(window, 1111, text.bytes);
  ShowLinkButton(window, 2000, patchPackage.link1Caption, patchPackage.link1Target);
  ShowLinkButton(window, 2001, patchPackage.link2Caption, patchPackage.link2Target);
}

void OpenLink(const char* target) { OpenWithShell(target); }
