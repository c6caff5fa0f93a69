// The Windows entry: make the process safe to run from a download folder,
// register the progress bar class, then run the program.
#include <windows.h>
#include <commctrl.h>

#include "app/program_entry.h"

// Patch programs are run from download folders, where a planted DLL would
// be found first by the default search order. SetDefaultDllDirectories is
// looked up at run time so the exe still starts where it does not exist.
static void RestrictDllSearchPath() {
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  SetDefaultDllDirectoriesCall restrict = reinterpret_cast<SetDefaultDllDirectoriesCall>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (restrict) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryA("");  // also drops the current folder from the search
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchPath();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  ExitProcess(UINT(RunProgram()));
}
