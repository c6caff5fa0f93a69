#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/patch_engine.h"
#include "tests/literal_search.h"

namespace {

const uint8_t* U(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
int32_t L(const std::string& s) { return int32_t(s.size()); }

int32_t Plain(const std::string& pattern, const std::string& block) {
  return FindPlain(U(pattern), L(pattern), U(block), L(block));
}
int32_t Wild(const std::string& pattern, const std::string& block) {
  return FindWildcard(U(pattern), L(pattern), U(block), L(block));
}
bool Match(const std::string& pattern, const std::string& text) {
  return WildcardMatch(U(pattern), L(pattern), U(text), L(text));
}

TEST(PatternSearch, FindPlain) {
  struct Row {
    std::string pattern, block;
    int32_t expected;
  };
  std::string zeros(100, '\0');
  const Row rows[] = {
      {"AB", "xxAB", 3},
      {"AA", "AAA", 1},
      {"ABC", "AB", 0},
      {"", "anything", 0},
      {"A", "", 0},
      {std::string("\0B", 2), std::string("A\0\0B", 4), 3},
      {"?", "ab?c", 3},  // no byte is special here
      {"*", "ab*", 3},
      {"Z", std::string(40, 'a') + "Z", 41},  // past the first sixteen-byte step
      {zeros.substr(0, 4) + "X", zeros + "X", 97},
      {"AB", std::string(31, 'A') + "B", 31},  // the very last start
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pattern + " in " + row.block);
    EXPECT_EQ(Plain(row.pattern, row.block), row.expected);
  }
}

TEST(PatternSearch, WildcardMatch) {
  struct Row {
    std::string pattern, text;
    bool expected;
  };
  const Row rows[] = {
      {"AB", "ABC", true}, {"ABC", "AB", false}, {"A?C", "AXC", true}, {"A*C", "AC", true},
      {"A*C", "A", false}, {"A*B", "AXBY", true}, {"*", "", true},     {"?", "", false},
      {"", "", true},      {"**", "", true},      {"*?", "", false},   {"A**B", "AxxB", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pattern + " with " + row.text);
    EXPECT_EQ(Match(row.pattern, row.text), row.expected);
    EXPECT_EQ(LiteralMatch(row.pattern, row.text), row.expected);
  }
}

TEST(PatternSearch, FindWildcard) {
  struct Row {
    std::string pattern, block;
    int32_t expected;
  };
  const Row rows[] = {
      {"B?D", "ABCDE", 2}, {"?B", "ABAB", 1}, {"??", "A", 0},         {"A?", "xxxxA", 0},
      {"A*C", "xxAyyC", 3}, {"??", "AB", 1},  {"A*", "xA", 2},         {"*", "q", 1},
      {"x?y", std::string(50, 'x') + "xzy", 51},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pattern + " in " + row.block);
    EXPECT_EQ(Wild(row.pattern, row.block), row.expected);
    EXPECT_EQ(LiteralFindWildcard(row.pattern, row.block), row.expected);
  }
}

// The fast scans try starts one by one up to an alignment, then 64 at a
// time, then one by one again: a match at every place of blocks at every
// alignment is found where it is, and only there.
TEST(PatternSearch, FindsAMatchAtEveryPlaceAndAlignment) {
  std::string memory(300, 'x');
  for (size_t shift = 0; shift < 32; shift++)
    for (size_t place = 0; place + 4 <= 200; place++) {
      std::string block(200, 'x');
      block.replace(place, 4, "AxyB");
      memory.replace(shift, block.size(), block);
      const uint8_t* at = U(memory) + shift;
      ASSERT_EQ(FindPlain(U("AxyB"), 4, at, 200), int32_t(place + 1)) << shift << " " << place;
      ASSERT_EQ(FindWildcard(U("A??B"), 4, at, 200), int32_t(place + 1)) << shift << " " << place;
    }
}

TEST(PatternSearch, AgreesWithTheLiteralMatcherOnRandomInputs) {
  std::mt19937 random(7);
  const char alphabet[] = "AB?*";
  for (int round = 0; round < 20000; round++) {
    std::string pattern, block;
    int pl = int(random() % 6) + 1, bl = int(random() % 40) + 1;
    for (int k = 0; k < pl; k++) pattern += alphabet[random() % 4];
    for (int k = 0; k < bl; k++) block += "ABx"[random() % 3];
    SCOPED_TRACE(pattern + " in " + block);
    ASSERT_EQ(Match(pattern, block), LiteralMatch(pattern, block));
    ASSERT_EQ(Wild(pattern, block), LiteralFindWildcard(pattern, block));
    std::string plain = pattern.substr(0, size_t(pl % 3 + 1));
    ASSERT_EQ(Plain(plain, block), LiteralFindPlain(plain, block));
  }
}

TEST(PatternSearch, ComplementAndLiteralCount) {
  std::string in("\x00\xFF?*", 4);
  uint8_t out[4];
  ComplementText(U(in), 4, out);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), std::string("\xFF\x00\xC0\xD5", 4));
  EXPECT_EQ(in, std::string("\x00\xFF?*", 4));
  ComplementText(U(in), 0, out);  // an empty text stays empty and writes nothing
  EXPECT_EQ(CountLiteralBytes(U("A??B"), 4), 2);
  EXPECT_EQ(CountLiteralBytes(U("??"), 2), 0);
  EXPECT_EQ(CountLiteralBytes(U(""), 0), 0);
}

}  // namespace
