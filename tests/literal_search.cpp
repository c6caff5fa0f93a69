#include "tests/literal_search.h"

bool LiteralMatch(const std::string& p, size_t i, const std::string& t, size_t j) {
  if (i == p.size() && j == t.size()) return true;
  bool result = true;
  while (result && i < p.size() && j < t.size()) {
    if (p[i] == '?') {
      i++;
      j++;
    } else if (p[i] == '*') {
      i++;
      if (i >= p.size()) {
        j = t.size();
      } else {
        bool found = false;
        for (size_t k = j; k < t.size() && !found; k++) found = LiteralMatch(p, i, t, k);
        if (found) {
          i = p.size();
          j = t.size();
        } else {
          result = false;
        }
      }
    } else if (p[i] == t[j]) {
      i++;
      j++;
    } else {
      result = false;
    }
  }
  if (result && j >= t.size()) {
    while (i < p.size() && p[i] == '*') i++;
    if (i < p.size()) result = false;
  }
  return result;
}

int32_t LiteralFindWildcard(const std::string& pattern, const std::string& block) {
  std::string mask = pattern + "*";
  for (size_t j = 0; j < block.size(); j++)
    if (LiteralMatch(mask, 0, block, j)) return int32_t(j + 1);
  return 0;
}

int32_t LiteralFindPlain(const std::string& pattern, const std::string& block) {
  if (pattern.empty() || block.empty() || pattern.size() > block.size()) return 0;
  size_t at = block.find(pattern);
  return at == std::string::npos ? 0 : int32_t(at + 1);
}
