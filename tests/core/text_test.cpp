#include "core/text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/test_printing.h"

namespace {

TEST(TextValue, NullAndEmptyAreTheSameAndZeroBytesNeverEnter) {
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)), Text(""));
  EXPECT_TRUE(Text(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_STREQ(Text().CStr(), "");
  EXPECT_EQ(Text(std::string_view("ab\0cd", 5)), Text("ab"));
  EXPECT_EQ(Bytes(std::string_view("ab\0cd", 5)).Size(), 5u);
}

struct FindCase {
  const char* t;
  const char* s;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(FindText, EdgeResults) {
  const FindCase cases[] = {
      {"abc", "", 1, false, 1},      // empty sought text is found at 1 ...
      {"", "", 1, false, -1},        // ... but not in an empty text
      {"abc", "", 3, false, 1},      // still 1 when start is past 1
      {"abc", "", 4, false, -1},     // nothing left to search
      {"abcabc", "c", 4, false, 6},  // counted from the start of the text
      {"abc", "c", 0, false, 3},     // start clamped to 1
      {"abc", "c", -5, false, 3},
      {"ABC", "b", 1, true, 2},  // A-Z folded
      {"ABC", "b", 1, false, -1},
      {"\xC1\xE1", "\xE1\xE1", 1, true, -1},  // no folding outside A-Z
      {"abc", "abcd", 1, false, -1},          // longer than the text
      {"\xB0\x41\x42", "AB", 1, false, -1},   // A is the second byte of a character
      {"\xB0\x41\x42", "B", 1, false, 3},
      {"\xB0\x41\x42", "A", 2, false, 2},  // a start inside a character is taken as given
      {"x\xB0", "\xB0", 1, false, 2},      // a lead byte ending the text is still a candidate
      {"\xB0", "x", 1, false, -1},
      {"aaa", "aa", 2, false, 2},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FindText(c.t, c.s, c.start, c.ignoreCase), c.expected)
        << "FindText(" << Hex(c.t) << ", " << Hex(c.s) << ", " << c.start << ", " << c.ignoreCase
        << ")";
  }
  EXPECT_EQ(FindText("abc", "c"), 3) << "start omitted searches from the first byte";
}

struct ReplaceCase {
  const char* t;
  const char* s;
  const char* r;
  int start;
  int count;
  bool caseSensitive;
  const char* expected;
};

TEST(ReplaceSubtext, EdgeResults) {
  const ReplaceCase cases[] = {
      {"\"a\"b\"", "\"", "", 1, kAllOccurrences, true, "ab"},  // every double quote removed
      {"\"a\"b\"", "\"", "", 1, 1, true, "a\"b\""},            // only the first
      {"\"a\"b\"", "\"", "", 1, 0, true, "\"a\"b\""},          // count 0: unchanged
      {"\"a\"b\"", "\"", "", 1, -3, true, "ab"},               // a negative count is never reached
      {"aaa", "aa", "b", 1, kAllOccurrences, true, "ba"},      // no overlap, left to right
      {"abab", "ab", "ab!", 1, kAllOccurrences, true,
       "ab!ab!"},  // a replacement is not searched again
      {"abcabc", "c", "X", 4, kAllOccurrences, true, "abcabX"},  // bytes before start untouched
      {"abc", "c", "X", 4, kAllOccurrences, true, "abc"},        // start past the end
      {"", "a", "X", 1, kAllOccurrences, true, ""},
      {"abc", "", "X", 1, kAllOccurrences, true, "abc"},    // empty sought text
      {"AbA", "a", "x", 1, kAllOccurrences, false, "xbx"},  // folded when not case-sensitive
      {"AbA", "a", "x", 1, kAllOccurrences, true, "AbA"},
      {"\xB0\x41\x41", "A", "", 1, kAllOccurrences, true, "\xB0\x41"},  // second byte kept
      {"b\xB0", "a", "", 1, kAllOccurrences, true, "b"},  // a lone lead byte at the end is dropped
  };
  for (const ReplaceCase& c : cases) {
    const Text result = ReplaceSubtext(c.t, c.s, c.r, c.start, c.count, c.caseSensitive);
    EXPECT_EQ(Hex(result.View()), Hex(c.expected))
        << "ReplaceSubtext(" << Hex(c.t) << ", " << Hex(c.s) << ", " << Hex(c.r) << ", " << c.start
        << ", " << c.count << ")";
  }
}

TEST(ConcatAndEquals, EmptyForms) {
  const Text both = ConcatText(Text(), Text(""));
  EXPECT_TRUE(TextEquals(both, Text()));
  EXPECT_STREQ(both.CStr(), "");
  EXPECT_TRUE(TextEquals(Text(static_cast<const char*>(nullptr)), Text("")));
  EXPECT_FALSE(TextEquals("abc", "abC"));
  EXPECT_EQ(ConcatText(Text("急"), std::string_view("转"), Text(), Text("弯")), Text("急转弯"));
  EXPECT_EQ(TextLength("急转弯"), 6);
  EXPECT_EQ(TextLength(Text()), 0);
}

}  // namespace
