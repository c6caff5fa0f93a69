// End-to-end driver: starts a patch program and works its windows from
// another process, the way a user would, reading commands from stdin and
// answering each on stdout. Texts go both ways as hex bytes, so the code
// page 936 bytes are compared exactly.
//
//   start EXE [ARGS...]    start the program (ARGS as one command-line tail)
//   main MS                wait for the main dialog        -> "main" | "timeout"
//   nowindow MS            wait for exit, seeing no window  -> "exit N windows K"
//   caption                                                -> "caption HEX"
//   get ID                 a main window control's text    -> "text HEX"
//   set ID HEX             set a control's text
//   checked ID                                             -> "checked 0|1"
//   progress                                               -> "progress N"
//   click ID               post WM_COMMAND(ID) to the main dialog
//   close                  post WM_CLOSE to the main dialog
//   owned MS               wait for a window the main dialog owns
//                          -> "owned CAPTIONHEX TEXTHEX" (the text of its
//                             static controls) | "timeout"
//   unowned MS             the same for a top-level window with no owner
//   ownedget ID            a control of that window    -> "text HEX"
//   ownedvisible ID        -> "visible 0|1"
//   ownedset ID HEX        set a control's text in that window
//   answer ID              post WM_COMMAND(ID) to that window, wait until it is gone -> "gone" | "still"
//   poke ID                post WM_COMMAND(ID) to that window, wait 500 ms -> "gone" | "still"
//   exit MS                wait for the program to end  -> "exit N" | "timeout"
//   kill                   end the program
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

static PROCESS_INFORMATION program;
static HWND mainDialog;
static HWND ownedWindow;

static std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out.empty() ? "-" : out;
}

static std::string Unhex(const char* hex) {
  std::string out;
  if (strcmp(hex, "-") == 0) return out;
  for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
    char pair[3] = {hex[i], hex[i + 1], 0};
    out += char(strtol(pair, nullptr, 16));
  }
  return out;
}

static std::string TextOf(HWND window) {
  char buffer[4096] = {0};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, LPARAM(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

static std::string ClassOf(HWND window) {
  char name[64] = {0};
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct Search {
  HWND owner;
  bool wantOwned;
  HWND found;
  int seen;
};

static BOOL CALLBACK FindTopLevel(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != program.dwProcessId || !IsWindowVisible(window)) return TRUE;
  search->seen++;
  HWND owner = GetWindow(window, GW_OWNER);
  if (search->wantOwned ? owner == search->owner && owner != nullptr : (owner == nullptr && window != mainDialog)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

static HWND FindWindowOfProgram(HWND owner, bool wantOwned, int* seen = nullptr) {
  Search search = {owner, wantOwned, nullptr, 0};
  EnumWindows(FindTopLevel, LPARAM(&search));
  if (seen) *seen = search.seen;
  return search.found;
}

static BOOL CALLBACK CollectStatics(HWND window, LPARAM context) {
  std::string* text = reinterpret_cast<std::string*>(context);
  if (lstrcmpiA(ClassOf(window).c_str(), "Static") == 0) {
    std::string part = TextOf(window);
    if (!part.empty()) {
      if (!text->empty()) *text += '\n';
      *text += part;
    }
  }
  return TRUE;
}

static bool Exited(DWORD ms) { return WaitForSingleObject(program.hProcess, ms) == WAIT_OBJECT_0; }

static void WaitOwned(const char* label, bool owned, int ms) {
  for (int waited = 0; waited <= ms; waited += 50) {
    HWND found = FindWindowOfProgram(mainDialog, owned);
    if (found) {
      ownedWindow = found;
      Sleep(150);  // let it finish its initialisation
      std::string text;
      EnumChildWindows(found, CollectStatics, LPARAM(&text));
      printf("%s %s %s\n", label, Hex(TextOf(found)).c_str(), Hex(text).c_str());
      return;
    }
    if (Exited(0)) break;
    Sleep(50);
  }
  printf("timeout\n");
}

static bool IsGone(HWND window, int ms) {
  for (int waited = 0; waited <= ms; waited += 50) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(50);
  }
  return false;
}

int main() {
  char line[8192];
  setvbuf(stdout, nullptr, _IONBF, 0);
  while (fgets(line, sizeof line, stdin)) {
    line[strcspn(line, "\r\n")] = 0;
    char command[32] = {0};
    int consumed = 0;
    if (sscanf(line, "%31s %n", command, &consumed) < 1) continue;
    const char* rest = line + consumed;
    std::string verb = command;
    if (verb == "start") {
      STARTUPINFOA startup;
      ZeroMemory(&startup, sizeof startup);
      startup.cb = sizeof startup;
      std::string commandLine = rest;
      if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &program)) {
        printf("start failed %lu\n", GetLastError());
        return 1;
      }
      printf("started\n");
    } else if (verb == "main") {
      int ms = atoi(rest);
      mainDialog = nullptr;
      for (int waited = 0; waited <= ms && !mainDialog; waited += 50) {
        HWND found = FindWindowOfProgram(nullptr, false);
        if (found && GetDlgItem(found, 2222)) mainDialog = found;
        else if (Exited(0)) break;
        else Sleep(50);
      }
      if (mainDialog) Sleep(300);
      printf(mainDialog ? "main\n" : "timeout\n");
    } else if (verb == "nowindow") {
      int ms = atoi(rest), windows = 0;
      for (int waited = 0; waited <= ms && !Exited(0); waited += 20) {
        int seen = 0;
        FindWindowOfProgram(nullptr, false, &seen);
        windows += seen;
        Sleep(20);
      }
      DWORD code = 0;
      GetExitCodeProcess(program.hProcess, &code);
      printf(Exited(0) ? "exit %lu windows %d\n" : "timeout %lu windows %d\n", code, windows);
    } else if (verb == "caption") {
      printf("caption %s\n", Hex(TextOf(mainDialog)).c_str());
    } else if (verb == "get") {
      printf("text %s\n", Hex(TextOf(GetDlgItem(mainDialog, atoi(rest)))).c_str());
    } else if (verb == "set") {
      int id = 0, at = 0;
      sscanf(rest, "%d %n", &id, &at);
      std::string text = Unhex(rest + at);
      SendMessageA(GetDlgItem(mainDialog, id), WM_SETTEXT, 0, LPARAM(text.c_str()));
      printf("set\n");
    } else if (verb == "checked") {
      printf("checked %d\n", int(SendMessageA(GetDlgItem(mainDialog, atoi(rest)), BM_GETCHECK, 0, 0)));
    } else if (verb == "uncheck") {
      SendMessageA(GetDlgItem(mainDialog, atoi(rest)), BM_SETCHECK, BST_UNCHECKED, 0);
      printf("unchecked\n");
    } else if (verb == "progress") {
      printf("progress %d\n", int(SendMessageA(GetDlgItem(mainDialog, 1000), PBM_GETPOS, 0, 0)));
    } else if (verb == "click") {
      int id = atoi(rest);
      PostMessageA(mainDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(mainDialog, id)));
      printf("clicked\n");
    } else if (verb == "close") {
      PostMessageA(mainDialog, WM_CLOSE, 0, 0);
      printf("closed\n");
    } else if (verb == "owned") {
      WaitOwned("owned", true, atoi(rest));
    } else if (verb == "unowned") {
      WaitOwned("unowned", false, atoi(rest));
    } else if (verb == "ownedget") {
      printf("text %s\n", Hex(TextOf(GetDlgItem(ownedWindow, atoi(rest)))).c_str());
    } else if (verb == "ownedset") {
      int id = 0, at = 0;
      sscanf(rest, "%d %n", &id, &at);
      std::string text = Unhex(rest + at);
      SendMessageA(GetDlgItem(ownedWindow, id), WM_SETTEXT, 0, LPARAM(text.c_str()));
      printf("set\n");
    } else if (verb == "ownedvisible") {
      printf("visible %d\n", IsWindowVisible(GetDlgItem(ownedWindow, atoi(rest))) ? 1 : 0);
    } else if (verb == "answer" || verb == "poke") {
      int id = atoi(rest);
      PostMessageA(ownedWindow, WM_COMMAND, WPARAM(id), 0);
      printf(IsGone(ownedWindow, verb == "answer" ? 5000 : 500) ? "gone\n" : "still\n");
    } else if (verb == "exit") {
      if (Exited(DWORD(atoi(rest)))) {
        DWORD code = 0;
        GetExitCodeProcess(program.hProcess, &code);
        printf("exit %lu\n", code);
      } else {
        printf("timeout\n");
      }
    } else if (verb == "kill") {
      TerminateProcess(program.hProcess, 99);
      printf("killed\n");
    } else if (verb == "sleep") {
      Sleep(DWORD(atoi(rest)));
      printf("slept\n");
    } else {
      printf("unknown %s\n", command);
    }
  }
  return 0;
}
