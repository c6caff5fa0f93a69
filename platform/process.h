// Process services for start-up, provided by the OS port
// (platform/win32/process_win32.cpp, platform/posix/process_posix.cpp).
#pragma once
#include <stdint.h>

// The full path of the running program's own file, NUL-terminated.
void GetOwnProgramPath(char* buffer, int32_t capacity);

// The raw process command line (the program's name first).
const char* GetProcessCommandLine();

// Loads string resource `id` as ANSI bytes into buffer (room for capacity - 1
// characters and a NUL); returns the number of bytes copied.
int32_t LoadStringResource(uint32_t id, char* buffer, int32_t capacity);

// Shows the fatal run-time error box ("Runtime error  NN at XXXXXXXX", caption
// "Error", no owner) and ends the process with errorNumber as its exit code.
// Never returns. Natively the box is written to stderr.
[[noreturn]] void FatalRuntimeError(uint32_t errorNumber, uint32_t location);

// Where in the program a fatal error comes from: the eight hex digits of
// the box. They only need to tell the failing operations apart.
enum FatalLocation : uint32_t {
  FatalAtOutOfMemory = 0x00401000,
  FatalAtChecksumOpen = 0x00402101,
  FatalAtChecksumSize = 0x00402102,
  FatalAtChecksumRead = 0x00402103,
  FatalAtChecksumClose = 0x00402104,
};

// ERROR_NOT_ENOUGH_MEMORY: the number of the box when an allocation fails.
const uint32_t OutOfMemoryError = 8;

// Heap memory that never comes back null: a failed allocation ends the
// process through FatalRuntimeError.
void* AllocateOrDie(uint32_t bytes);
void ReleaseMemory(void* block);
