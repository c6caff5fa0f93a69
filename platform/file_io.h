// File access for the platform-free code.
//
// Provided by the OS port: platform/win32/file_io_win32.cpp (CreateFileA and
// friends) or platform/posix/file_io_posix.cpp (open/read/write, for native
// builds and tests). Every file is opened as an existing file, never created
// by the open; on Windows other programs may read it meanwhile but not write it.
#pragma once
#include <stdint.h>

typedef void* FileHandle;  // null means "not open"

// Opens an existing file; null on failure (LastFileError tells why).
FileHandle OpenFileForReading(const char* path);
FileHandle OpenFileForReadWrite(const char* path);

// The whole size of the open file. Callers that work in signed 32-bit
// positions take the low 32 bits, or refuse files of 2 GiB and more.
bool GetOpenFileSize(FileHandle file, uint64_t* size);

// Reads up to count bytes at the current position; *got is what was read.
bool ReadFromFile(FileHandle file, void* buffer, int32_t count, int32_t* got);
// Writes count bytes at the current position; *put is what was written.
bool WriteToFile(FileHandle file, const void* buffer, int32_t count, int32_t* put);

bool SetFilePosition(FileHandle file, int32_t offset);   // from the start
bool MoveFilePosition(FileHandle file, int32_t distance); // from the current position
bool SetFileEndHere(FileHandle file);                     // cut or lengthen at the position
bool CloseFile(FileHandle file);

// Copies a whole file; fails, changing nothing, when `to` exists already.
bool CopyFileNoReplace(const char* from, const char* to);

// The Windows error code of the last failed operation above (2 file not
// found, 3 path not found, 5 access denied, 32 sharing violation, ...).
uint32_t LastFileError();
