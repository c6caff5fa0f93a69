#include "package/byte_string.h"

#include <string.h>

void ClearBytes(ByteString& text) {
  text.length = 0;
  text.bytes[0] = 0;
}

void AppendBytes(ByteString& text, const void* bytes, int32_t count) {
  int32_t room = ByteStringCapacity - text.length;
  if (count > room) count = room;
  if (count > 0) memcpy(text.bytes + text.length, bytes, size_t(count));
  if (count > 0) text.length += count;
  text.bytes[text.length] = 0;
}

void AppendText(ByteString& text, const char* terminated) {
  AppendBytes(text, terminated, int32_t(strlen(terminated)));
}

void AppendShortText(ByteString& text, const ShortText& part) {
  AppendBytes(text, part.bytes, part.length);
}

void AppendDecimal(ByteString& text, int32_t value) {
  char digits[12];
  int count = 0;
  // Work in unsigned so that the most negative value has a magnitude too.
  uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
  do {
    digits[count++] = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) AppendBytes(text, "-", 1);
  while (count > 0) AppendBytes(text, &digits[--count], 1);
}

bool SameBytes(const ByteString& text, const char* terminated) {
  size_t length = strlen(terminated);
  return size_t(text.length) == length && memcmp(text.bytes, terminated, length) == 0;
}
