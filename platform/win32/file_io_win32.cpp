// File access over kernel32, with the exact open flags the program relies on:
// an existing file only, shared for reading only.
#include <windows.h>

#include "platform/file_io.h"

static uint32_t lastError;

static bool Failed() {
  lastError = GetLastError();
  return false;
}

static FileHandle OpenExisting(const char* path, DWORD access) {
  HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    Failed();
    return nullptr;
  }
  return handle;
}

FileHandle OpenFileForReading(const char* path) { return OpenExisting(path, GENERIC_READ); }
FileHandle OpenFileForReadWrite(const char* path) { return OpenExisting(path, GENERIC_READ | GENERIC_WRITE); }

bool GetOpenFileSize(FileHandle file, uint64_t* size) {
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return Failed();
  *size = uint64_t(high) << 32 | low;
  return true;
}

bool ReadFromFile(FileHandle file, void* buffer, int32_t count, int32_t* got) {
  DWORD n = 0;
  BOOL ok = ReadFile(file, buffer, DWORD(count), &n, nullptr);
  *got = int32_t(n);
  return ok || Failed();
}

bool WriteToFile(FileHandle file, const void* buffer, int32_t count, int32_t* put) {
  DWORD n = 0;
  BOOL ok = WriteFile(file, buffer, DWORD(count), &n, nullptr);
  *put = int32_t(n);
  return (ok && n == DWORD(count)) || Failed();
}

// SetFilePointer with no high part: a negative distance from the start fails.
static bool MovePointer(FileHandle file, int32_t distance, DWORD method) {
  SetLastError(NO_ERROR);
  DWORD at = SetFilePointer(file, distance, nullptr, method);
  return at != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR || Failed();
}

bool SetFilePosition(FileHandle file, int32_t offset) { return MovePointer(file, offset, FILE_BEGIN); }
bool MoveFilePosition(FileHandle file, int32_t distance) { return MovePointer(file, distance, FILE_CURRENT); }
bool SetFileEndHere(FileHandle file) { return SetEndOfFile(file) || Failed(); }
bool CloseFile(FileHandle file) { return CloseHandle(file) || Failed(); }
bool CopyFileNoReplace(const char* from, const char* to) { return CopyFileA(from, to, TRUE) || Failed(); }
uint32_t LastFileError() { return lastError; }
