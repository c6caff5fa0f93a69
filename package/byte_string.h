// Counted byte strings. Every byte value is ordinary data and no character
// set is implied; a NUL is kept behind the bytes so a text can go straight to
// an ANSI window function (which stops at the first zero byte it meets).
#pragma once
#include <stdint.h>

// A text of 0 to 255 bytes, as the package stores it.
struct ShortText {
  uint8_t length;
  char bytes[256];  // 255 bytes of room and the NUL behind them
};

// A composed text: messages, panel texts, paths. The longest the program
// composes (the information panel: three labels and three 255-byte package
// texts) stays well under the capacity; anything beyond it is dropped.
const int32_t ByteStringCapacity = 1023;
struct ByteString {
  int32_t length;
  char bytes[ByteStringCapacity + 1];
};

void ClearBytes(ByteString& text);
void AppendBytes(ByteString& text, const void* bytes, int32_t count);
void AppendText(ByteString& text, const char* terminated);
void AppendShortText(ByteString& text, const ShortText& part);
void AppendDecimal(ByteString& text, int32_t value);  // a minus sign only when negative
bool SameBytes(const ByteString& text, const char* terminated);
