#include "engine/patch_engine.h"
#include "platform/file_io.h"
#include "platform/process.h"

// One buffer for every block of every call: the checksum runs on the one
// window thread and never re-enters itself.
static uint8_t checksumBlock[CrcBlockSize];

uint32_t FileCrc32(const char* path, ChecksumProgress progress) {
  FileHandle file = OpenFileForReading(path);
  if (!file) FatalRuntimeError(LastFileError(), FatalAtChecksumOpen);
  uint64_t size = 0;
  if (!GetOpenFileSize(file, &size)) FatalRuntimeError(LastFileError(), FatalAtChecksumSize);
  int32_t total = int32_t(uint32_t(size));  // the low 32 bits, as the window shows them
  int32_t done = 0;
  uint32_t crc = 0xFFFFFFFFu;
  for (;;) {
    int32_t n = 0;
    if (!ReadFromFile(file, checksumBlock, CrcBlockSize, &n)) FatalRuntimeError(LastFileError(), FatalAtChecksumRead);
    if (n == 0) break;
    done = int32_t(uint32_t(done) + uint32_t(n));  // wraps like the 32-bit total
    if (progress) progress(done, total);
    crc = Crc32Update(checksumBlock, n, crc);
  }
  if (!CloseFile(file)) FatalRuntimeError(LastFileError(), FatalAtChecksumClose);
  return ~crc;
}
