#include "package/payload_reader.h"

#include <string.h>

#include "package/package_model.h"
#include "platform/file_io.h"
#include "platform/process.h"

uint8_t PayloadMarker[12];
int32_t payloadOffset;
ByteString commandLinePath;

static bool markerUsable;

void LoadPayloadMarker() {
  char buffer[13] = {0};
  int32_t loaded = LoadStringResource(999, buffer, 13);
  memcpy(PayloadMarker, buffer, 12);
  markerUsable = loaded >= 12;
}

int32_t LocatePayload(const char* path) {
  if (!markerUsable) return -1;
  FileHandle file = OpenFileForReading(path);
  if (!file) return -1;
  uint64_t fullSize = 0;
  if (!GetOpenFileSize(file, &fullSize) || fullSize >= 0x80000000u) {
    CloseFile(file);
    return -1;
  }
  int32_t size = int32_t(fullSize);
  uint8_t* image = static_cast<uint8_t*>(AllocateOrDie(uint32_t(size) + 1));
  int32_t filled = 0;
  while (filled < size) {
    int32_t got = 0;
    if (!ReadFromFile(file, image + filled, size - filled, &got) || got == 0) break;
    filled += got;
  }
  int32_t found = -1;
  for (int32_t i = filled - 12; i >= 0; i--) {
    if (image[i] == PayloadMarker[0] && memcmp(image + i, PayloadMarker, 12) == 0) {
      found = i;
      break;
    }
  }
  ReleaseMemory(image);
  CloseFile(file);
  return found;
}

// The payload as a stream that knows how many bytes the file still holds, so
// that no field is ever filled from past its end.
struct PayloadStream {
  FileHandle file;
  int64_t bytesLeft;
};

static bool ReadField(PayloadStream& stream, void* field, int32_t size) {
  if (size == 0) return true;
  if (stream.bytesLeft < size) {
    stream.bytesLeft = 0;
    return false;
  }
  int32_t got = 0;
  if (!ReadFromFile(stream.file, field, size, &got) || got != size) {
    stream.bytesLeft = 0;
    return false;
  }
  stream.bytesLeft -= size;
  return true;
}

static bool ReadNumber8(PayloadStream& stream, uint8_t& value) { return ReadField(stream, &value, 1); }

static bool ReadNumber32(PayloadStream& stream, uint32_t& value) {
  uint8_t bytes[4];
  if (!ReadField(stream, bytes, 4)) return false;
  value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
  return true;
}

static bool ReadSigned32(PayloadStream& stream, int32_t& value) {
  uint32_t raw = 0;
  if (!ReadNumber32(stream, raw)) return false;
  value = int32_t(raw);
  return true;
}

// One text: its length byte, then its bytes, unscrambled when the package
// says so. A text cut short by the end of the file reads as empty.
static bool ReadShortText(PayloadStream& stream, ShortText& text) {
  memset(&text, 0, sizeof text);
  uint8_t length = 0;
  if (!ReadNumber8(stream, length) || !ReadField(stream, text.bytes, length)) {
    memset(&text, 0, sizeof text);
    return false;
  }
  text.length = length;
  if (patchPackage.textsScrambled != 0) UnscrambleText(text);
  return true;
}

static void ReleaseTarget(TargetRecord& target) {
  if (target.entries) ReleaseMemory(target.entries);
  memset(&target, 0, sizeof target);
}

// Every entry takes at least 6 bytes (kind, offset, an empty data text).
const int32_t SmallestEntryBytes = 6;

static bool ReadTarget(PayloadStream& stream, TargetRecord& target) {
  uint32_t crc = 0;
  bool complete = ReadShortText(stream, target.fileName) && ReadSigned32(stream, target.expectedSize) &&
                  ReadShortText(stream, target.sizeText) && ReadShortText(stream, target.dateText) &&
                  ReadShortText(stream, target.fileFilter) && ReadNumber32(stream, crc) &&
                  ReadNumber8(stream, target.checkSize) && ReadNumber8(stream, target.checkCrc) &&
                  ReadNumber8(stream, target.hasDate) && ReadNumber8(stream, target.reservedFlag) &&
                  ReadShortText(stream, target.reservedText) && ReadSigned32(stream, target.entryCount);
  target.expectedCrc = crc;
  if (!complete) return false;
  if (target.entryCount <= 0) return true;
  // A count the rest of the file cannot hold is damage, not a reason to
  // allocate: this keeps every allocation below the file's own size times
  // the size of one record.
  if (target.entryCount > stream.bytesLeft / SmallestEntryBytes) return false;

  uint64_t bytes = uint64_t(target.entryCount) * sizeof(PatchEntry);
  if (bytes > 0x7FFFFFFFu) FatalRuntimeError(OutOfMemoryError, FatalAtOutOfMemory);
  target.entries = static_cast<PatchEntry*>(AllocateOrDie(uint32_t(bytes)));
  memset(target.entries, 0, size_t(bytes));
  for (int32_t i = 0; i < target.entryCount; i++) {
    PatchEntry& entry = target.entries[i];
    if (!ReadNumber8(stream, entry.kind) || !ReadSigned32(stream, entry.offset) ||
        !ReadShortText(stream, entry.data))
      return false;
    if (entry.kind != WriteAt && !ReadShortText(stream, entry.pattern)) return false;
  }
  return true;
}

void ReadPackage(const char* path) {
  FileHandle file = OpenFileForReading(path);
  if (!file) return;
  uint64_t size = 0;
  PayloadStream stream = {file, 0};
  if (GetOpenFileSize(file, &size) && payloadOffset >= 0 && uint64_t(payloadOffset) <= size &&
      SetFilePosition(file, payloadOffset))
    stream.bytesLeft = int64_t(size - uint64_t(payloadOffset));

  PatchPackage& package = patchPackage;
  ReadNumber8(stream, package.reservedByte);
  ReadNumber8(stream, package.textsScrambled);
  ShortText* headerTexts[] = {&package.windowCaption, &package.titleText,   &package.descriptionText,
                              &package.aboutText,     &package.link1Caption, &package.link1Target,
                              &package.link2Caption,  &package.link2Target};
  for (ShortText* text : headerTexts) ReadShortText(stream, *text);

  uint8_t declared = 0;
  ReadNumber8(stream, declared);
  int32_t wanted = declared < MaxTargets ? declared : MaxTargets;
  int32_t complete = 0;
  while (complete < wanted && ReadTarget(stream, package.targets[complete])) complete++;
  if (complete < wanted) ReleaseTarget(package.targets[complete]);
  package.targetCount = uint8_t(complete);
  CloseFile(file);
}

void ReleasePackage() {
  for (int32_t i = 0; i < patchPackage.targetCount; i++) ReleaseTarget(patchPackage.targets[i]);
  memset(&patchPackage, 0, sizeof patchPackage);
}

static bool IsSeparator(char byte) { return uint8_t(byte) >= 1 && uint8_t(byte) <= 32; }

// Reads one argument from *cursor on; returns false when none is left.
static bool NextArgument(const char*& cursor, ByteString& argument) {
  ClearBytes(argument);
  for (;;) {
    if (IsSeparator(*cursor)) cursor++;
    else if (cursor[0] == '"' && cursor[1] == '"') cursor += 2;
    else break;
  }
  if (*cursor == 0) return false;
  bool quoted = false;
  while (*cursor != 0 && (quoted || !IsSeparator(*cursor))) {
    if (*cursor == '"') quoted = !quoted;
    else AppendBytes(argument, cursor, 1);
    cursor++;
  }
  return true;
}

void FirstCommandLineArgument(const char* commandLine, ByteString& argument) {
  const char* cursor = commandLine;
  if (!NextArgument(cursor, argument) || !NextArgument(cursor, argument)) ClearBytes(argument);
}
