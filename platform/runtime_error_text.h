// The text of the fatal run-time error box, shared by every OS port.
#pragma once
#include <stdint.h>

// Writes "Runtime error  NN at XXXXXXXX" into out (room for 40 bytes): the
// number right-aligned into the blanks so its last digit stands just before
// the blank ahead of "at", and the location as eight upper-case hex digits.
void FormatRuntimeErrorText(uint32_t errorNumber, uint32_t location, char* out);
