#include <windows.h>

#include "platform/process.h"
#include "platform/runtime_error_text.h"

void GetOwnProgramPath(char* buffer, int32_t capacity) {
  DWORD n = GetModuleFileNameA(nullptr, buffer, DWORD(capacity));
  // A path that did not fit is cut and would name another file: use none.
  if (n == 0 || n >= DWORD(capacity)) buffer[0] = 0;
}

const char* GetProcessCommandLine() { return GetCommandLineA(); }

int32_t LoadStringResource(uint32_t id, char* buffer, int32_t capacity) {
  return LoadStringA(GetModuleHandleA(nullptr), id, buffer, capacity);
}

void FatalRuntimeError(uint32_t errorNumber, uint32_t location) {
  char text[40];
  FormatRuntimeErrorText(errorNumber, location, text);
  MessageBoxA(nullptr, text, "Error", MB_OK);
  ExitProcess(errorNumber);
}

void* AllocateOrDie(uint32_t bytes) {
  void* block = HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1);
  if (!block) FatalRuntimeError(OutOfMemoryError, FatalAtOutOfMemory);
  return block;
}

void ReleaseMemory(void* block) { HeapFree(GetProcessHeap(), 0, block); }
