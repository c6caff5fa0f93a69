#include <gtest/gtest.h>

#include <string>

#include "platform/runtime_error_text.h"

TEST(RuntimeError, NumberRightAlignedBeforeAt) {
  struct Row {
    uint32_t number;
    uint32_t location;
    const char* expected;
  };
  const Row rows[] = {
      {0, 0, "Runtime error   0 at 00000000"},
      {2, 0x00402101, "Runtime error   2 at 00402101"},
      {32, 0xABCDEF01, "Runtime error  32 at ABCDEF01"},
      {203, 1, "Runtime error 203 at 00000001"},
      {1450, 0, "Runtime error1450 at 00000000"},
      {123456, 0, "Runtime error123456 at 00000000"},
  };
  for (const Row& row : rows) {
    char text[40];
    FormatRuntimeErrorText(row.number, row.location, text);
    EXPECT_EQ(std::string(text), row.expected);
  }
}
