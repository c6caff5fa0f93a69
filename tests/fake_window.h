// A fake of the window layer for native tests: it records every call and
// answers message boxes and the file-open dialog from a script.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

struct MessageBoxCall {
  std::string text;
  std::string caption;
  uint32_t style;
};

struct FakeWindowState {
  // Texts by (window, control id); the window's own caption is id -1.
  std::map<std::pair<WindowHandle, int>, std::string> texts;
  std::map<std::pair<WindowHandle, int>, bool> hidden;
  std::map<std::pair<WindowHandle, int>, bool> checked;
  std::vector<MessageBoxCall> boxes;
  std::deque<int> answers;  // for message boxes; empty answers OK / No
  std::function<void(const MessageBoxCall&)> onBox;
  std::vector<int> progress;  // every PBM_SETPOS
  std::vector<std::string> log;  // every call, in order
  bool ended = false;
  intptr_t endResult = -1;
  std::vector<std::string> dropped;
  int dropFinished = 0;
  std::vector<std::string> shellOpened;
  // The file-open dialog: what it was given, and what it answers.
  bool openDialogAnswer = false;
  std::string openDialogChoice;
  std::string openDialogInitialName;
  bool openDialogHadFilter = false;
  std::string openDialogFilter;  // the list up to its double zero
  std::string openDialogTitle;
  std::vector<int> dialogsRun;
  intptr_t iconSent = 0;
};

extern FakeWindowState fake;

// A fresh fake and mainWindow set to FakeMainWindow.
void ResetFakeWindow();
extern WindowHandle const FakeMainWindow;
extern WindowHandle const FakeAboutWindow;

std::string TextOf(int id, WindowHandle window = FakeMainWindow);
