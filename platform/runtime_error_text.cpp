#include "platform/runtime_error_text.h"

void FormatRuntimeErrorText(uint32_t errorNumber, uint32_t location, char* out) {
  static const char prefix[] = "Runtime error";
  int n = 0;
  for (int i = 0; prefix[i]; i++) out[n++] = prefix[i];

  char digits[10];
  int count = 0;
  do {
    digits[count++] = char('0' + errorNumber % 10);
    errorNumber /= 10;
  } while (errorNumber != 0);
  // Four places before the blank ahead of "at"; a longer number takes more.
  for (int pad = 4 - count; pad > 0; pad--) out[n++] = ' ';
  while (count > 0) out[n++] = digits[--count];

  static const char at[] = " at ";
  for (int i = 0; at[i]; i++) out[n++] = at[i];
  static const char hex[] = "0123456789ABCDEF";
  for (int shift = 28; shift >= 0; shift -= 4) out[n++] = hex[(location >> shift) & 0xF];
  out[n] = 0;
}
