#include "tests/fake_window.h"

#include <string.h>

FakeWindowState fake;
WindowHandle mainWindow;
WindowHandle const FakeMainWindow = reinterpret_cast<WindowHandle>(0x100000);
WindowHandle const FakeAboutWindow = reinterpret_cast<WindowHandle>(0x200000);

// A control's handle is its window's handle plus its id plus one.
static WindowHandle ControlHandle(WindowHandle window, int id) {
  return reinterpret_cast<WindowHandle>(reinterpret_cast<intptr_t>(window) + 1 + id);
}
static std::pair<WindowHandle, int> ControlOf(WindowHandle control) {
  intptr_t value = reinterpret_cast<intptr_t>(control);
  intptr_t window = value >= 0x200000 ? 0x200000 : 0x100000;
  return {reinterpret_cast<WindowHandle>(window), int(value - window - 1)};
}

void ResetFakeWindow() {
  fake = FakeWindowState();
  mainWindow = FakeMainWindow;
}

std::string TextOf(int id, WindowHandle window) { return fake.texts[{window, id}]; }

void SetDialogItemText(WindowHandle window, int32_t id, const char* text) {
  fake.texts[{window, id}] = text;
  fake.log.push_back("text " + std::to_string(id) + " " + text);
}

int32_t GetDialogItemText(WindowHandle window, int32_t id, char* buffer, int32_t capacity) {
  const std::string& text = fake.texts[{window, id}];
  size_t n = std::min(text.size(), size_t(capacity - 1));
  memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return int32_t(n);
}

WindowHandle GetDialogItem(WindowHandle window, int32_t id) { return ControlHandle(window, id); }

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window == FakeMainWindow && message == WM_SETICON_) {
    fake.iconSent = lParam;
    return 0;
  }
  auto control = ControlOf(window);
  switch (message) {
    case PBM_SETPOS_:
      fake.progress.push_back(int(wParam));
      fake.log.push_back("progress " + std::to_string(int(wParam)));
      return 0;
    case PBM_SETRANGE32_:
      fake.log.push_back("range " + std::to_string(wParam) + " " + std::to_string(lParam));
      return 0;
    case PBM_SETSTEP_:
      fake.log.push_back("step " + std::to_string(wParam));
      return 0;
    case BM_SETCHECK_:
      fake.checked[control] = wParam == BST_CHECKED_;
      return 0;
    case BM_GETCHECK_:
      return fake.checked[control] ? 1 : 0;
    default:
      return 0;
  }
}

int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
  MessageBoxCall call = {text, caption, style};
  fake.boxes.push_back(call);
  fake.log.push_back(std::string("box ") + caption);
  if (owner != mainWindow) fake.log.push_back("box without the main window as owner");
  if (fake.onBox) fake.onBox(call);
  if (!fake.answers.empty()) {
    int answer = fake.answers.front();
    fake.answers.pop_front();
    return answer;
  }
  return (style & 0xF) == 4 ? 7 : 1;  // MB_YESNO: No, else OK
}

void EndDialogWindow(WindowHandle window, intptr_t result) {
  if (window == FakeMainWindow) {
    fake.ended = true;
    fake.endResult = result;
  }
  fake.log.push_back("end " + std::to_string(result));
}

void SetWindowCaption(WindowHandle window, const char* text) { fake.texts[{window, -1}] = text; }
void HideWindow(WindowHandle window) { fake.hidden[ControlOf(window)] = true; }
void BringWindowToFront(WindowHandle) { fake.log.push_back("front"); }
IconHandle LoadProgramIcon(const char*) { return reinterpret_cast<IconHandle>(0x77); }

uint32_t QueryDroppedFile(DropHandle, uint32_t index, char* buffer, uint32_t capacity) {
  if (index >= fake.dropped.size()) return 0;
  const std::string& name = fake.dropped[index];
  if (!buffer) return uint32_t(name.size());
  size_t n = std::min(name.size(), size_t(capacity - 1));
  memcpy(buffer, name.data(), n);
  buffer[n] = 0;
  return uint32_t(n);
}

void FinishDrop(DropHandle) { fake.dropFinished++; }

bool ShowOpenFileDialog(WindowHandle, char* fileBuffer, const char* filterList, const char* initialDir,
                        const char* title) {
  fake.openDialogInitialName = fileBuffer;
  fake.openDialogHadFilter = filterList != nullptr;
  fake.openDialogFilter.clear();
  if (filterList) {
    const char* p = filterList;
    while (*p) {
      fake.openDialogFilter += p;
      fake.openDialogFilter += '\0';
      p += strlen(p) + 1;
    }
    fake.openDialogFilter += '\0';
  }
  fake.openDialogTitle = title;
  if (!initialDir) fake.log.push_back("null initial dir");
  if (!fake.openDialogAnswer) return false;
  strcpy(fileBuffer, fake.openDialogChoice.c_str());
  return true;
}

void OpenWithShell(const char* target) { fake.shellOpened.push_back(target); }

intptr_t RunModalDialog(int32_t templateId, WindowHandle, DialogProcedure procedure) {
  fake.dialogsRun.push_back(templateId);
  WindowHandle window = templateId == 100 ? FakeMainWindow : FakeAboutWindow;
  procedure(window, WM_INITDIALOG_, 0, 0);
  return 0;
}
