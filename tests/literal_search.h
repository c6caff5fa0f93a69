// The searches as first written down, recursion and all: slow, literal
// oracles for the engine's one-pass matchers, shared by the tests.
#pragma once
#include <stdint.h>

#include <string>

// The pattern from position i on against the text from position j on.
bool LiteralMatch(const std::string& pattern, size_t i, const std::string& text, size_t j);
inline bool LiteralMatch(const std::string& pattern, const std::string& text) {
  return LiteralMatch(pattern, 0, text, 0);
}
// 1-based start of the first match, 0 for none.
int32_t LiteralFindWildcard(const std::string& pattern, const std::string& block);
int32_t LiteralFindPlain(const std::string& pattern, const std::string& block);
