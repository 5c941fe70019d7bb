#include "core/text_cutting.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/test_printing.h"

namespace {

struct CutCase {
  const char* name;
  Text result;
  const char* expected;
};

TEST(TextCutting, PositionsAndCountsAreClamped) {
  const CutCase cases[] = {
      {"left beyond the length", TextLeft("abc", 5), "abc"},
      {"left of 0", TextLeft("abc", 0), ""},
      {"left of -1", TextLeft("abc", -1), ""},
      {"left cuts a character in half", TextLeft("\xB0\xA1x", 1), "\xB0"},
      {"right beyond the length", TextRight("abc", 9), "abc"},
      {"right of 2", TextRight("abc", 2), "bc"},
      {"right of -1", TextRight("abc", -1), ""},
      {"mid past the end", TextMid("abcdef", 8, 3), ""},
      {"mid running over the end", TextMid("abcdef", 5, 10), "ef"},
      {"mid from 0", TextMid("abcdef", 0, 2), ""},
      {"mid of no bytes", TextMid("abcdef", 2, 0), ""},
      {"mid at the last byte", TextMid("abcdef", 6, 1), "f"},
      {"drop a header name", ReplaceTextAt("Set-Cookie: a=b", 1, 12), "a=b"},
      {"replace a span", ReplaceTextAt("abcdef", 2, 3, Text("XY")), "aXYef"},
      {"insert with a negative count", ReplaceTextAt("abc", 2, -1, Text("X")), "aXbc"},
      {"delete past the end", ReplaceTextAt("abc", 2, 99), "a"},
      {"start beyond the end appends", ReplaceTextAt("abc", 10, 2, Text("X")), "abcX"},
      {"start beyond the end without replacement", ReplaceTextAt("abc", 10, 2), "abc"},
      {"start below 1 counts from the first byte", ReplaceTextAt("abc", -4, 1), "bc"},
      {"blank text", BlankText(3), "   "},
      {"blank text of 0", BlankText(0), ""},
      {"blank text of -2", BlankText(-2), ""},
  };
  for (const CutCase& c : cases) EXPECT_EQ(Str(c.result), c.expected) << c.name;
}

TEST(TrimBothEnds, CutsOnlyBlankRunsThatReachTheEnds) {
  const struct {
    const char* t;
    const char* expected;
  } cases[] = {
      {"  ab c \r\n", "ab c \r\n"},  // ends in LF: no run of blanks reaches the end
      {"\xA1\xA1"
       "ab\xA1\xA1",
       "ab"},  // full-width blanks on both ends
      {" \xA1\xA1  ", ""},
      {"", ""},
      {"\tab\t", "\tab\t"},                  // tab is no blank
      {"a \xB0\xA1\xA1\xA1", "a \xB0\xA1"},  // A1 as a second byte starts no blank
      {"a  \xB0", "a  "},  // a lone lead byte at the end is cut instead, the blanks stay
      {" a\xA1", "a"},     // the lone A1 at the end is a lead byte, not half a blank
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Str(TrimBothEnds(c.t)), c.expected) << Hex(c.t);
  }
}

TEST(ToLowerCase, FoldsOnlyAsciiCapitalsOutsideTwoByteCharacters) {
  EXPECT_EQ(Str(ToLowerCase("AbZ@[\xC1")), "abz@[\xC1");
  EXPECT_EQ(Str(ToLowerCase("\xB0"
                            "AB")),
            "\xB0"
            "Ab");  // 0x41 is a second byte here
  EXPECT_EQ(Str(ToLowerCase("X\xB0")), "x\xB0");
}

TEST(CompareText, ThreeWayWithOptionalCaseFolding) {
  EXPECT_EQ(CompareText("HTTP://", "http://", false), 0);
  EXPECT_NE(CompareText("HTTP://", "http://", true), 0);
  EXPECT_LT(CompareText("abc", "abd", true), 0);
  EXPECT_GT(CompareText("abc", "ab", true), 0);
  EXPECT_LT(CompareText("", "a", false), 0);
  EXPECT_GT(CompareText("\xB0", "a", true), 0) << "bytes compare as unsigned values";
  EXPECT_EQ(CompareText("", "", true), 0);
}

}  // namespace
