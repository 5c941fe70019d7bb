#include "core/conversions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/test_printing.h"

namespace {

TEST(ToNumber, ReadsTheLeadingDecimalNumberAfterFoldingFullWidthForms) {
  const struct {
    const char* t;
    double expected;
  } cases[] = {
      {"\xA3\xB8\xA3\xB0", 80},                    // full-width 8 0
      {"\xA3\xAD\xA3\xB1\xA3\xAE\xA3\xB5", -1.5},  // full-width - 1 . 5
      {"\xA1\xA1\xA3\xB7", 7},                     // full-width blank is white space
      {"\xA3\xB1\xA3\xE5\xA3\xB2", 100},           // full-width 1 e 2
      {"12ab", 12},
      {"", 0},
      {"abc", 0},
      {" \t\r\n+42", 42},
      {"-0.25x", -0.25},
      {".5", 0.5},
      {"5.", 5},
      {"1e3", 1000},
      {"1e", 1},  // an exponent without digits is not taken
      {"1e+", 1},
      {"2E-1", 0.2},
      {"0x1A", 0},  // no hexadecimal
      {"inf", 0},   // no words
      {"- 5", 0},
      {"\xB0\xA1"
       "5",
       0},  // an ordinary character stops the number
      {"1e999", HUGE_VAL},
  };
  for (const auto& c : cases) EXPECT_EQ(ToNumber(c.t), c.expected) << Hex(c.t);
}

TEST(TruncateToInteger, TowardZeroKeepingTheLow32Bits) {
  EXPECT_EQ(TruncateToInteger(2.9), 2);
  EXPECT_EQ(TruncateToInteger(-2.9), -2);
  EXPECT_EQ(TruncateToInteger(4294967297.0), 1);
  EXPECT_EQ(TruncateToInteger(2147483648.0), -2147483647 - 1);
  EXPECT_EQ(TruncateToInteger(1e30), 0);
  EXPECT_EQ(TruncateToInteger(HUGE_VAL), 0);
}

TEST(ToText, IntegersTruthValuesAndBytes) {
  EXPECT_EQ(Str(ToText(-15)), "-15");
  EXPECT_EQ(Str(ToText(0)), "0");
  EXPECT_EQ(Str(ToText(-2147483647 - 1)), "-2147483648");
  EXPECT_EQ(Str(ToText(true)), "真");
  EXPECT_EQ(Str(ToText(false)), "假");
  EXPECT_EQ(Str(ToText(Bytes(std::string_view("a\0b", 3)))), "a");
  EXPECT_EQ(Str(ToText(Bytes(std::string_view("\0b", 2)))), "");
  EXPECT_EQ(Str(ToText(Bytes("\xB0\xA1"))), "\xB0\xA1");
}

TEST(BitOr, CombinesFlagWords) {
  EXPECT_EQ(BitOr(0x80000000, 0x04000000), static_cast<int>(0x84000000));
  EXPECT_EQ(BitOr(1, 2, 4), 7);
}

}  // namespace
