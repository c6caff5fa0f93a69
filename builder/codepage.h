// Between the UTF-8 that people write and the code page 936 bytes the
// runtime shows.
#pragma once
#include <string>

// False when some character has no CP936 form.
bool Utf8ToCp936(const std::string& utf8, std::string& cp936);
// Bytes that are not valid CP936 come out as \xNN escapes.
std::string Cp936ToUtf8(const std::string& cp936);
