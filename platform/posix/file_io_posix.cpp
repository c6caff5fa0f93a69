// File access for native builds and tests, over POSIX calls. POSIX has no
// share modes, so "others may read but not write" is not enforced here.
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"

static uint32_t lastError;

// The Windows code for what errno says, so tests see the numbers users see.
static uint32_t WindowsCodeFor(int error) {
  switch (error) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return 5;
    case ETXTBSY:
    case EBUSY: return 32;
    case ENAMETOOLONG: return 206;
    case ENOSPC: return 112;
    case EEXIST: return 80;
    default: return 31;  // ERROR_GEN_FAILURE
  }
}

static bool Failed() {
  lastError = WindowsCodeFor(errno);
  return false;
}

static int Descriptor(FileHandle file) { return int(intptr_t(file)) - 1; }
static FileHandle HandleFor(int descriptor) { return FileHandle(intptr_t(descriptor) + 1); }

static FileHandle OpenExisting(const char* path, int mode) {
  int descriptor = open(path, mode | O_CLOEXEC);
  if (descriptor < 0) {
    Failed();
    return nullptr;
  }
  struct stat status;
  if (fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
    close(descriptor);
    lastError = 5;
    return nullptr;
  }
  return HandleFor(descriptor);
}

FileHandle OpenFileForReading(const char* path) { return OpenExisting(path, O_RDONLY); }
FileHandle OpenFileForReadWrite(const char* path) { return OpenExisting(path, O_RDWR); }

bool GetOpenFileSize(FileHandle file, uint64_t* size) {
  struct stat status;
  if (fstat(Descriptor(file), &status) != 0) return Failed();
  *size = uint64_t(status.st_size);
  return true;
}

bool ReadFromFile(FileHandle file, void* buffer, int32_t count, int32_t* got) {
  *got = 0;
  ssize_t n = read(Descriptor(file), buffer, size_t(count));
  if (n < 0) return Failed();
  *got = int32_t(n);
  return true;
}

bool WriteToFile(FileHandle file, const void* buffer, int32_t count, int32_t* put) {
  *put = 0;
  while (*put < count) {
    ssize_t n = write(Descriptor(file), static_cast<const char*>(buffer) + *put, size_t(count - *put));
    if (n <= 0) return n < 0 ? Failed() : false;
    *put += int32_t(n);
  }
  return true;
}

bool SetFilePosition(FileHandle file, int32_t offset) {
  if (offset < 0) {
    lastError = 131;  // ERROR_NEGATIVE_SEEK
    return false;
  }
  return lseek(Descriptor(file), off_t(offset), SEEK_SET) >= 0 || Failed();
}

bool MoveFilePosition(FileHandle file, int32_t distance) {
  return lseek(Descriptor(file), off_t(distance), SEEK_CUR) >= 0 || Failed();
}

bool SetFileEndHere(FileHandle file) {
  off_t at = lseek(Descriptor(file), 0, SEEK_CUR);
  if (at < 0) return Failed();
  return ftruncate(Descriptor(file), at) == 0 || Failed();
}

bool CloseFile(FileHandle file) { return close(Descriptor(file)) == 0 || Failed(); }

bool CopyFileNoReplace(const char* from, const char* to) {
  int source = open(from, O_RDONLY | O_CLOEXEC);
  if (source < 0) return Failed();
  struct stat status;
  if (fstat(source, &status) != 0) {
    close(source);
    return Failed();
  }
  int copy = open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 0777);
  if (copy < 0) {
    close(source);
    return Failed();
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = read(source, buffer, sizeof buffer);
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(copy, buffer + done, size_t(n - done));
      if (w <= 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (!ok) Failed();
  close(source);
  if (close(copy) != 0) ok = false;
  if (!ok) unlink(to);  // a half-made copy is not a backup
  return ok;
}

uint32_t LastFileError() { return lastError; }
