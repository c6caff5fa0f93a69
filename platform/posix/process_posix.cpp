// Process services for native builds. There are no resources natively, so the
// string table lives here; the program path comes from /proc.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "platform/process.h"
#include "platform/runtime_error_text.h"

void GetOwnProgramPath(char* buffer, int32_t capacity) {
  ssize_t n = readlink("/proc/self/exe", buffer, size_t(capacity - 1));
  buffer[n > 0 ? n : 0] = 0;
}

const char* GetProcessCommandLine() { return "program"; }

int32_t LoadStringResource(uint32_t id, char* buffer, int32_t capacity) {
  const char* text = id == 999 ? "@._P-DATA_.@" : "";
  int32_t n = 0;
  while (n < capacity - 1 && text[n]) {
    buffer[n] = text[n];
    n++;
  }
  buffer[n] = 0;
  return n;
}

void FatalRuntimeError(uint32_t errorNumber, uint32_t location) {
  char text[40];
  FormatRuntimeErrorText(errorNumber, location, text);
  fprintf(stderr, "[Error] %s\n", text);
  fflush(stderr);
  _exit(int(errorNumber));
}

void* AllocateOrDie(uint32_t bytes) {
  void* block = malloc(bytes ? bytes : 1);
  if (!block) FatalRuntimeError(OutOfMemoryError, FatalAtOutOfMemory);
  return block;
}

void ReleaseMemory(void* block) { free(block); }
