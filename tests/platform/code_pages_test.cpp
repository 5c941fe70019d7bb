// The contract of the code-page services that both sides keep: the Windows
// calls themselves under wine64, the stand-in natively.
#include "platform/code_pages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CodePages, MeasureThenConvertCountingTheTerminator) {
  const char* gbk = "a\xD6\xD0";
  EXPECT_EQ(platform::MultiByteToWideChar(936, 0, gbk, -1, nullptr, 0), 3);
  EXPECT_EQ(platform::MultiByteToWideChar(936, 0, gbk, 3, nullptr, 0), 2) << "no terminator";
  char16_t units[3] = {u'x', u'x', u'x'};
  EXPECT_EQ(platform::MultiByteToWideChar(936, 0, gbk, -1, units, 3), 3);
  EXPECT_EQ(std::u16string(units, 3), std::u16string(u"a\u4E2D\0", 3));
  EXPECT_EQ(platform::MultiByteToWideChar(936, 0, gbk, -1, units, 2), 0) << "too small";
  EXPECT_EQ(platform::MultiByteToWideChar(12345, 0, gbk, -1, nullptr, 0), 0) << "unknown page";

  EXPECT_EQ(platform::WideCharToMultiByte(0, 0, u"a\u4E2D", -1, nullptr, 0, nullptr, nullptr), 4)
      << "the system ANSI code page is 936";
  char bytes[4] = {};
  EXPECT_EQ(platform::WideCharToMultiByte(936, 0, u"a\u4E2D", -1, bytes, 3, nullptr, nullptr), 0)
      << "too small";
}

// The default-character choice: none gives the code page's own, a given one
// is used. (The empty text as default character is left out: Wine does not
// give the zero byte Windows gives for it.)
TEST(CodePages, DefaultCharacterChoice) {
  struct DefaultCase {
    const char* defaultChar;
    std::string expected;
  };
  const DefaultCase cases[] = {
      {nullptr, std::string("a?b", 3)},
      {"*", std::string("a*b", 3)},
  };
  for (const DefaultCase& c : cases) {
    char bytes[8] = {};
    int usedDefault = 0;
    const int written = platform::WideCharToMultiByte(936, 0, u"a\u2574b", 3, bytes, 8,
                                                      c.defaultChar, &usedDefault);
    EXPECT_EQ(std::string(bytes, written > 0 ? written : 0), c.expected);
    EXPECT_EQ(usedDefault, 1);
  }
}

TEST(CodePages, MapToSimplifiedKeepsTheLength) {
  const char* text = "ab\xD6\xD0";
  EXPECT_EQ(platform::LCMapStringA(platform::kLocaleChinesePrc, platform::kMapSimplifiedChinese,
                                   text, 4, nullptr, 0),
            4);
  char mapped[4] = {};
  EXPECT_EQ(platform::LCMapStringA(platform::kLocaleChinesePrc, platform::kMapSimplifiedChinese,
                                   text, 4, mapped, 4),
            4);
  EXPECT_EQ(std::string(mapped, 4), std::string(text, 4));
}

}  // namespace
