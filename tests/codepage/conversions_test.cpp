#include "codepage/conversions.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/test_printing.h"
#include "core/two_threads.h"

namespace {

struct ConversionCase {
  std::string_view input;
  std::string_view expected;
  const char* what;
};

TEST(ConvertUtf8ToAnsi, GivesGbk) {
  const ConversionCase cases[] = {
      {"", "", "the empty text"},
      {"Hello, 1+1=2 ~", "Hello, 1+1=2 ~", "ASCII unchanged"},
      {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4", "two characters"},
      {std::string_view("\xE4\xB8\xAD\0\xE6\x96\x87", 7), "\xD6\xD0", "a zero byte ends the input"},
      {"a\xE0\xB8\x81z", "a?z", "no GBK form: default character, and the text goes on"},
      {"\xE4\xB8z", "?z", "a cut sequence is one unknown character"},
      {"\x80z", "?z", "a stray continuation byte"},
      {"\xC0\x80z", "??z", "an overlong form"},
      {"\xED\xA0\x80z", "??z", "an encoded surrogate"},
      {"\xF4\x90\x80\x80z", "???z", "past U+10FFFF"},
      {"\xF0\x9F\x98z", "?z", "a cut four-byte sequence"},
  };
  for (const ConversionCase& c : cases) {
    EXPECT_EQ(Hex(ConvertUtf8ToAnsi(Text(c.input)).View()), Hex(c.expected)) << c.what;
  }
}

TEST(Big5ToGbkText, KeepsTheCharactersAndGoesOnAfterOneGbkCannotHold) {
  const ConversionCase cases[] = {
      {"", "", "the empty text"},
      {"Hello, 1+1=2 ~", "Hello, 1+1=2 ~", "ASCII unchanged"},
      {"\xA4\xA4\xA4\xE5", "\xD6\xD0\xCE\xC4", "two characters"},
      {"\xB0\xEA", "\x87\xF8", "a traditional character stays traditional"},
      {std::string_view("\xA4\xA4\0\xA4\xE5", 5), "\xD6\xD0", "a zero byte ends the input"},
      // Repair: an empty default character would end the text at U+2574.
      {"a\xA1\x5Az\xA4\xA4", "a?z\xD6\xD0", "no GBK form: default character, and the text goes on"},
  };
  for (const ConversionCase& c : cases) {
    EXPECT_EQ(Hex(Big5ToGbkText(Text(c.input)).View()), Hex(c.expected)) << c.what;
  }
}

// The platform maps to simplified characters: some do not (Wine returns the
// text unchanged), and then the expectations that need the mapping are skipped.
bool PlatformMapsToSimplified() { return MapToSimplified("\x87\xF8") != Text("\x87\xF8"); }

TEST(ConvertBig5ToGbk, MapsTraditionalCharactersToSimplified) {
  EXPECT_EQ(ConvertBig5ToGbk(Text()), Text());
  EXPECT_EQ(ConvertBig5ToGbk("Hello, 1+1=2 ~"), Text("Hello, 1+1=2 ~"));
  EXPECT_EQ(Hex(ConvertBig5ToGbk("\xA4\xA4\xA4\xE5").View()), Hex("\xD6\xD0\xCE\xC4"));
  if (!PlatformMapsToSimplified()) {
    GTEST_SKIP() << "this platform's LCMapStringA leaves traditional characters unchanged "
                    "(LCMAP_SIMPLIFIED_CHINESE is not implemented by Wine)";
  }
  // B0 EA is the traditional character; 87 F8 is its traditional form in GBK.
  EXPECT_EQ(Hex(ConvertBig5ToGbk("\xB0\xEA").View()), Hex("\xB9\xFA"));
  EXPECT_EQ(Hex(ConvertBig5ToGbk("x\xB0\xEA\xA4\xA4y").View()), Hex("x\xB9\xFA\xD6\xD0y"))
      << "characters around the mapped one stay in place";
}

TEST(MapToSimplified, KeepsTheLengthAndTheSimplifiedAndSingleByteCharacters) {
  const Text unchanged = "abc \xD6\xD0\xCE\xC4 \x80";
  EXPECT_EQ(Hex(MapToSimplified(unchanged).View()), Hex(unchanged.View()));
  EXPECT_EQ(MapToSimplified(Text()), Text());
}

// The UTF-16 form carries its terminating zero unit; the way back stops at
// the first zero unit and never reads past the value.
TEST(Utf16Forms, CarryTheTerminatorAndStopAtTheFirstZeroUnit) {
  EXPECT_EQ(Hex(MultiByteToUtf16("a\xE4\xB8\xAD").View()),
            Hex(std::string_view("a\0\x2D\x4E\0\0", 6)))
      << "UTF-8 when no code page is given";
  EXPECT_EQ(Hex(MultiByteToUtf16("\xD6\xD0", 936).View()),
            Hex(std::string_view("\x2D\x4E\0\0", 4)));
  EXPECT_TRUE(MultiByteToUtf16(Text()).Size() == 2u) << "the empty text is its terminator alone";
  EXPECT_EQ(Hex(MultiByteToUtf16("a\xB0", 936).View()), Hex(std::string_view("a\0?\0\0\0", 6)))
      << "a lead byte without its second byte";

  const ConversionCase back[] = {
      {std::string_view("\x2D\x4E\0\0", 4), "\xD6\xD0", "the system ANSI code page is 936"},
      {std::string_view("a\0b\0\0\0", 6), "ab", "terminated"},
      {std::string_view("a\0\0\0b\0\0\0", 8), "a", "text after the zero unit is not read"},
      {std::string_view("a\0b\0", 4), "ab", "no zero unit: the value's end bounds it"},
      {std::string_view("a\0b", 3), "a", "an odd byte is no unit"},
      {"", "", "empty"},
  };
  for (const ConversionCase& c : back) {
    EXPECT_EQ(Hex(Utf16ToMultiByte(Bytes(c.input)).View()), Hex(c.expected)) << c.what;
  }
  EXPECT_EQ(Hex(Utf16ToMultiByte(Bytes(std::string_view("\x2D\x4E\0\0", 4)), 65001).View()),
            Hex("\xE4\xB8\xAD"));
}

// Both sides follow the Windows tables where glibc's differ: the user-defined
// areas read as private-use units, best fits, and Windows' choice among
// duplicate Big5 codes.
TEST(Utf16Forms, FollowTheWindowsTables) {
  struct TableCase {
    std::string_view code;
    int codePage;
    std::string_view units;
  };
  const TableCase cases[] = {
      {"\xAA\xA1", 936, std::string_view("\x00\xE0\0\0", 4)},  // user-defined area: U+E000
      {"\xFF", 936, std::string_view("\xF5\xF8\0\0", 4)},
      {"\xFA\x40", 950, std::string_view("\x00\xE0\0\0", 4)},
      {"\xF9\xF9", 950, std::string_view("\x50\x25\0\0", 4)},  // U+2550, written back as F9 F9
  };
  for (const TableCase& c : cases) {
    EXPECT_EQ(Hex(MultiByteToUtf16(Text(c.code), c.codePage).View()), Hex(c.units)) << Hex(c.code);
    EXPECT_EQ(Hex(Utf16ToMultiByte(Bytes(c.units), c.codePage).View()), Hex(c.code)) << Hex(c.code);
  }
  EXPECT_EQ(Hex(Utf16ToMultiByte(Bytes(std::string_view("\xA5\x00\xB2\x00\0\0", 6)), 936).View()),
            Hex("\xA3\xA4\x32"))
      << "best fits for U+00A5 and U+00B2";
}

// The UTF-16 form of `text` without its terminating zero unit.
std::string UnitsOf(const Text& text, int codePage) {
  const Bytes units = MultiByteToUtf16(text, codePage);
  return std::string(units.View().substr(0, units.Size() - 2));
}

// A page converts as its characters do one by one, however long its runs of
// ASCII and of double-byte characters and wherever the conversion's own
// pieces of work begin and end. Each line: ASCII runs of every length up to a
// few words, a double-byte character, one with an ASCII second byte, one of
// the user-defined area, a single-byte code; the page ends with a lead byte
// that has lost its second byte.
TEST(Utf16Forms, APageConvertsAsItsCharactersOneByOne) {
  struct PageCase {
    int codePage;
    std::vector<std::string_view> characters;
  };
  const PageCase cases[] = {
      {936, {"\xD6\xD0", "\x81\x40", "\xAA\xA1", "\x80", "\xFF"}},
      {950, {"\xA4\xA4", "\xA4\x40", "\xFA\x40", "\xFF"}},
  };
  const std::string_view ascii = "The quick brown fox jumps over the lazy dog";
  for (const PageCase& c : cases) {
    std::string page;
    std::string units;
    const auto add = [&](std::string_view character) {
      page += character;
      units += UnitsOf(Text(character), c.codePage);
    };
    for (int line = 0; page.size() < 100000; ++line) {
      add(ascii.substr(static_cast<std::size_t>(line % 7), static_cast<std::size_t>(line % 21)));
      add(c.characters[static_cast<std::size_t>(line) % c.characters.size()]);
    }
    add("\xB0");
    const Text text(page);
    EXPECT_TRUE(UnitsOf(text, c.codePage) == units) << c.codePage;
    const Bytes terminated(units + std::string(2, '\0'));
    const Text back = Utf16ToMultiByte(terminated, c.codePage);
    std::string expectedBack;
    for (std::size_t k = 0; k < units.size(); k += 2) {
      expectedBack += Utf16ToMultiByte(Bytes(units.substr(k, 2)), c.codePage).View();
    }
    EXPECT_TRUE(back.View() == expectedBack) << c.codePage;
  }
}

// The conversions keep no state between calls, and share none between
// threads: two threads converting at once, each after a text that ends in a
// cut sequence, get what one thread alone gets.
TEST(CodePageConversions, GiveTheSameOnTwoThreadsAtOnce) {
  std::string utf8Page;
  std::string big5Page;
  while (utf8Page.size() < 10000) {
    utf8Page += "a\xE4\xB8\xAD\xE6\x96\x87\xE0\xB8\x81z";
    big5Page += "x\xA4\xA4\xA4\xE5\xA1\x5A\xB0";
  }
  const Text utf8(utf8Page);
  const Text big5(big5Page);
  const Text cutUtf8 = "a\xF0\x9F\x98";
  const Text expectedUtf8 = ConvertUtf8ToAnsi(utf8);
  const Text expectedBig5 = Big5ToGbkText(big5);
  ASSERT_EQ(Hex(expectedUtf8.View().substr(0, 7)), Hex("a\xD6\xD0\xCE\xC4?z"));
  const auto convert = [&](int& wrong) {
    for (int round = 0; round < 200; ++round) {
      ConvertUtf8ToAnsi(cutUtf8);
      if (!(ConvertUtf8ToAnsi(utf8) == expectedUtf8)) ++wrong;
      Big5ToGbkText(cutUtf8);
      if (!(Big5ToGbkText(big5) == expectedBig5)) ++wrong;
    }
  };
  const auto [wrongFirst, wrongSecond] = WrongCountsOnTwoThreads(convert);
  EXPECT_EQ(wrongFirst, 0);
  EXPECT_EQ(wrongSecond, 0);
}

TEST(Repeat, GivesCountedZeroBytesAndBlanks) {
  for (int n : {-3, 0, 1, 7, 1 << 22}) {
    const std::size_t size = n > 0 ? static_cast<std::size_t>(n) : 0;
    const Bytes zeros = RepeatZeroByte(n);
    EXPECT_EQ(zeros.Size(), size) << n;
    EXPECT_EQ(zeros.View().find_first_not_of('\0'), std::string_view::npos) << n;
    const Text blanks = RepeatBlank(n);
    EXPECT_EQ(blanks.Size(), size) << n;
    EXPECT_EQ(blanks.View().find_first_not_of(' '), std::string_view::npos) << n;
  }
}

}  // namespace
