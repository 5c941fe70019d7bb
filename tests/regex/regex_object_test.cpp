// The regular-expression object over the platform's engine: the stand-in on
// Linux, the system's own engine under Windows and Wine. Texts here are GBK.
#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_printing.h"
#include "core/two_threads.h"
#include "platform/automation.h"
#ifdef _WIN32
#include <windows.h>

#include <thread>
#else
#include "platform/posix/automation_stand_in.h"
#endif

namespace {

struct ExpectedMatch {
  std::string text;
  int position;  // byte offset by the object's position rule
  std::vector<std::string> groups;
};

struct RunCase {
  const char* what;
  const char* pattern;
  const char* subject;
  bool caseSensitive = false;
  bool multiline = true;
  bool global = true;
  std::vector<ExpectedMatch> matches;
};

void ExpectRun(const RunCase& c) {
  SCOPED_TRACE(c.what);
  RegexObject regex;
  ASSERT_TRUE(regex.RunPattern(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global));
  const int count = static_cast<int>(c.matches.size());
  ASSERT_EQ(regex.MatchCount(), count);
  for (int i = 1; i <= count; ++i) {
    const ExpectedMatch& expected = c.matches[i - 1];
    int position = -100;
    EXPECT_EQ(Str(regex.MatchText(i, &position)), expected.text) << "match " << i;
    EXPECT_EQ(position, expected.position) << "match " << i;
    const int groups = static_cast<int>(expected.groups.size());
    for (int g = 1; g <= groups; ++g) {
      EXPECT_EQ(Str(regex.SubMatchText(i, g)), expected.groups[g - 1])
          << "match " << i << " group " << g;
    }
    EXPECT_EQ(Str(regex.SubMatchText(i, groups + 1)), "") << "a group past the last";
    EXPECT_EQ(Str(regex.SubMatchText(i, 0)), "") << "group 0";
  }
  EXPECT_EQ(regex.SubMatchCount(), count == 0 ? 0 : static_cast<int>(c.matches[0].groups.size()));
  EXPECT_EQ(Str(regex.MatchText(0)), "") << "index 0";
  EXPECT_EQ(Str(regex.MatchText(count + 1)), "") << "one past the last match";
  EXPECT_EQ(Str(regex.SubMatchText(count + 1, 1)), "") << "a group of a match past the last";
}

TEST(RegexObject, RunsPatternsAsTheEngineDoes) {
  const RunCase cases[] = {
      {.what = "no match", .pattern = "xyz", .subject = "abc abc", .matches = {}},
      {.what = "letter case ignored by default",
       .pattern = "abc",
       .subject = "ABC abc",
       .matches = {{"ABC", 0, {}}, {"abc", 4, {}}}},
      {.what = "case-sensitive",
       .pattern = "abc",
       .subject = "ABC abc",
       .caseSensitive = true,
       .matches = {{"abc", 4, {}}}},
      {.what = "line anchors at every line break by default",
       .pattern = "^\\w+$",
       .subject = "one\ntwo\r\nthree",
       .matches = {{"one", 0, {}}, {"two", 4, {}}, {"three", 9, {}}}},
      {.what = "a vertical tab or a form feed is no line break",
       .pattern = "^b|b$",
       .subject = "a\vb\fa",
       .matches = {}},
      {.what = "line anchors at the ends only without multi-line",
       .pattern = "^\\w+$",
       .subject = "one\ntwo",
       .multiline = false,
       .matches = {}},
      {.what = "start anchor without multi-line",
       .pattern = "^\\w+",
       .subject = "one\ntwo",
       .multiline = false,
       .matches = {{"one", 0, {}}}},
      {.what = "global off gives the first match only",
       .pattern = "a\\d",
       .subject = "a1 a2",
       .global = false,
       .matches = {{"a1", 0, {}}}},
      {.what = "a group that took no part is empty",
       .pattern = "(\\w)(\\d)?-",
       .subject = "x1-y-",
       .matches = {{"x1-", 0, {"x", "1"}}, {"y-", 3, {"y", ""}}}},
      {.what = "lazy groups between escaped parentheses",
       .pattern = "f\\((.{1,}?)\\)",
       .subject = "f(a)(b) f(c)",
       .matches = {{"f(a)", 0, {"a"}}, {"f(c)", 8, {"c"}}}},
      {.what = "dot stops at line breaks",
       .pattern = "a.b",
       .subject = "a\nb a\rb axb",
       .matches = {{"axb", 8, {}}}},
      {.what = "positions count bytes of double-byte characters",
       .pattern = "[ab]",
       .subject = "中a文b",
       .matches = {{"a", 2, {}}, {"b", 5, {}}}},
      {.what = "a case-sensitive pattern's position search ignores case: it finds the variant "
               "one byte earlier",
       .pattern = "a",
       .subject = "Aa",
       .caseSensitive = true,
       .matches = {{"a", 0, {}}}},
      {.what = "a case-insensitive pattern's position search keeps case",
       .pattern = "a",
       .subject = "aA",
       .matches = {{"a", 0, {}}, {"A", 1, {}}}},
  };
  for (const RunCase& c : cases) ExpectRun(c);
}

TEST(RegexObject, BeforeAnyRunEverythingIsEmpty) {
  RegexObject regex;
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(Str(regex.PatternText()), "");
  EXPECT_EQ(Str(regex.ReplaceMatches("x")), "");
  EXPECT_EQ(Str(regex.MatchText(1)), "");
  EXPECT_EQ(Str(regex.SubMatchText(1, 1)), "");
}

TEST(RegexObject, ASecondRunReplacesTheFirst) {
  RegexObject regex;
  ASSERT_TRUE(regex.RunPattern("(b)(c)", "abc abc", true, true, false));
  ASSERT_TRUE(regex.RunPattern("x", "x yx"));
  EXPECT_EQ(Str(regex.PatternText()), "x");
  EXPECT_EQ(regex.MatchCount(), 2) << "no option of the first run carries over";
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(Str(regex.ReplaceMatches("-")), "- y-");
}

TEST(RegexObject, ReplacesInTheEngineSyntax) {
  struct ReplaceCase {
    const char* replacement;
    const char* expected;
  };
  const ReplaceCase cases[] = {
      {"$2$1", "1a 2b"}, {"[$&]", "[a1] [b2]"}, {"$`", " a1 "}, {"$'", " b2 "},  {"$$", "$ $"},
      {"$3", "$3 $3"},   {"$10", "a0 b0"},      {"$01", "a b"}, {"x$", "x$ x$"}, {"中", "中 中"},
  };
  RegexObject regex;
  ASSERT_TRUE(regex.RunPattern("(\\w)(\\d)", "a1 b2"));
  for (const ReplaceCase& c : cases) {
    EXPECT_EQ(Str(regex.ReplaceMatches(c.replacement)), c.expected) << c.replacement;
  }
}

// True when the Windows tests run under Wine rather than on Windows itself.
bool UnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

TEST(RegexObject, EmptyMatchesMoveOnByOneCharacter) {
  if (UnderWine()) {
    GTEST_SKIP() << "Wine's engine never returns from a global run whose pattern matches the "
                    "empty text; the platform's engine moves on by one character";
  }
  RegexObject regex;
  ASSERT_TRUE(regex.RunPattern("x*", "ab"));
  EXPECT_EQ(regex.MatchCount(), 3);
  EXPECT_EQ(Str(regex.ReplaceMatches("-")), "-a-b-");
}

TEST(RegexObject, CloneSharesMatchesAndOutlivesTheOriginal) {
  auto regex = std::make_unique<RegexObject>();
  ASSERT_TRUE(regex->RunPattern("(\\d)", "a1b2"));
  const std::unique_ptr<RegexObject> copy = regex->Clone();
  regex->Destroy();
  regex.reset();
  EXPECT_EQ(copy->MatchCount(), 2);
  EXPECT_EQ(Str(copy->SubMatchText(2, 1)), "2");
  EXPECT_EQ(Str(copy->ReplaceMatches("<$1>")), "a<1>b<2>");
}

TEST(RegexObject, APatternTheEngineRejectsFailsSilently) {
  RegexObject regex;
  EXPECT_FALSE(regex.RunPattern("a(b", "ab"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(Str(regex.MatchText(1)), "");
  EXPECT_EQ(Str(regex.PatternText()), "a(b") << "the engine was made and keeps the pattern";
  EXPECT_EQ(Str(regex.ReplaceMatches("x")), "");
}

// The pattern the riddle source runs over a riddle page.
const char kRiddlePattern[] =
    "<li><span class=\"table_left\">(.{1,}?)</span><span class=\"table_right\"><a "
    "href=\"javascript:;\" class=\"answer\" onclick=\"MM_popupMsg\\('答案：(.{1,}?)'\\)\">"
    "点击显示答案</a></span></li>";

std::string Riddle(const std::string& question, const std::string& answer) {
  return "<li><span class=\"table_left\">" + question +
         "</span><span class=\"table_right\"><a href=\"javascript:;\" class=\"answer\" "
         "onclick=\"MM_popupMsg('答案：" +
         answer + "')\">点击显示答案</a></span></li>";
}

TEST(RegexObject, FindsTheRiddlesOfAPage) {
  ASSERT_EQ(sizeof kRiddlePattern - 1, 178u);
  std::string upperCase = Riddle("大写标签？", "也算");
  for (const char* tag : {"<li>", "</li>", "<span", "</span>", "<a ", "</a>"}) {
    std::string upper = tag;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    for (auto at = upperCase.find(tag); at != std::string::npos; at = upperCase.find(tag, at + 1)) {
      upperCase.replace(at, upper.size(), upper);
    }
  }
  const std::string page = "<html><ul>\r\n" + Riddle("什么门永远关不上？", "球门") + "\r\n" +
                           Riddle("断开的\n问题？", "不算") + "\r\n" + upperCase + "\r\n" +
                           Riddle("A &amp; B？", "'C'") + "\r\n</ul></html>";
  RegexObject regex;
  ASSERT_TRUE(regex.RunPattern(kRiddlePattern, page.c_str()));
  ASSERT_EQ(regex.MatchCount(), 3);
  const char* expected[][2] = {
      {"什么门永远关不上？", "球门"}, {"大写标签？", "也算"}, {"A &amp; B？", "'C'"}};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(Str(regex.SubMatchText(k, 1)), expected[k - 1][0]) << k;
    EXPECT_EQ(Str(regex.SubMatchText(k, 2)), expected[k - 1][1]) << k;
  }
}

// The engine's members as the seam reaches them, with UTF-16 texts that the
// system code page cannot hold.
TEST(AutomationSeam, DotStopsAtEveryLineBreakOfTheEngine) {
  platform::BeginComUse();
  {
    const platform::ObjectRef engine = platform::CreateObject(u"VBScript.RegExp");
    ASSERT_FALSE(engine.IsEmpty());
    platform::WriteMember(engine, u"Global", platform::Value::Truth(true));
    platform::WriteMember(engine, u"Pattern", platform::Value::FromText(u"a.b"));
    const platform::Value matches = platform::InvokeMember(
        engine, u"Execute", {platform::Value::FromText(u"a\u2028b a\u2029b a\nb a\rb a\u00e9b")});
    EXPECT_EQ(platform::InvokeMember(matches.object, u"Count").number, 1);
    const platform::Value match =
        platform::InvokeMember(matches.object, u"Item", {platform::Value::Number(0)});
    EXPECT_TRUE(platform::InvokeMember(match.object, u"Value").text == u"a\u00e9b");
    EXPECT_EQ(platform::InvokeMember(match.object, u"FirstIndex").number, 16);
    EXPECT_EQ(platform::InvokeMember(engine, u"Singleline").kind, platform::Value::Kind::kEmpty);
  }
  platform::EndComUse();
}

// Each run builds its engine from its own pattern and options, whatever ran
// before it on the thread.
TEST(RegexObject, EveryRunTakesItsOwnOptions) {
  struct OptionsCase {
    bool caseSensitive;
    bool multiline;
    int matches;
  };
  const OptionsCase cases[] = {
      {false, true, 2}, {true, true, 1}, {false, false, 1}, {true, false, 0}, {false, true, 2},
  };
  RegexObject regex;
  for (const OptionsCase& c : cases) {
    ASSERT_TRUE(regex.RunPattern("^a", "A\na", c.caseSensitive, c.multiline));
    EXPECT_EQ(regex.MatchCount(), c.matches) << c.caseSensitive << c.multiline;
  }
  ASSERT_TRUE(regex.RunPattern("^b", "A\na"));
  EXPECT_EQ(regex.MatchCount(), 0) << "another pattern";
}

// A match and its groups stay readable after the collection and the engine
// they came from are released.
TEST(AutomationSeam, AMatchOutlivesItsCollection) {
  platform::BeginComUse();
  {
    platform::ObjectRef match;
    platform::ObjectRef groups;
    {
      const platform::ObjectRef engine = platform::CreateObject(u"VBScript.RegExp");
      platform::WriteMember(engine, u"Global", platform::Value::Truth(true));
      platform::WriteMember(engine, u"Pattern", platform::Value::FromText(u"(\\w)(\\d)"));
      const platform::Value matches =
          platform::InvokeMember(engine, u"Execute", {platform::Value::FromText(u"a1 b2")});
      match = platform::InvokeMember(matches.object, u"Item", {platform::Value::Number(1)}).object;
      groups = platform::InvokeMember(match, u"SubMatches").object;
    }
    EXPECT_TRUE(platform::InvokeMember(match, u"Value").text == u"b2");
    EXPECT_EQ(platform::InvokeMember(match, u"FirstIndex").number, 3);
    EXPECT_TRUE(platform::InvokeMember(groups, u"Item", {platform::Value::Number(1)}).text == u"2");
  }
  platform::EndComUse();
}

// The seam's failures on each side: an engine nobody registered is the empty
// object, and every call on the empty object gives the empty value.
TEST(AutomationSeam, AnUnregisteredProgIdGivesTheEmptyObject) {
  platform::BeginComUse();
  {
    const platform::ObjectRef engine = platform::CreateObject(u"Tamrek.NoSuchEngine");
    EXPECT_TRUE(engine.IsEmpty());
    platform::WriteMember(engine, u"Pattern", platform::Value::FromText(u"a"));
    const platform::Value matches =
        platform::InvokeMember(engine, u"Execute", {platform::Value::FromText(u"a")});
    EXPECT_EQ(matches.kind, platform::Value::Kind::kEmpty);
  }
  platform::EndComUse();
}

#ifndef _WIN32
// Where Wine's engine and the stand-in part: the stand-in keeps to the
// platform's documented "\s", the six ASCII blanks [ \f\n\r\t\v], where Wine's
// also takes U+00A0 and U+3000; under "IgnoreCase" the stand-in folds letters
// beyond ASCII too, as the platform's documentation promises matching without
// regard to case and sets no such limit, where Wine's folds A-Z only. "\w" is
// ASCII on both. The riddle pattern depends on none of this.
TEST(AutomationSeam, TheStandInsBlanksAndLetterCase) {
  struct DialectCase {
    const char16_t* pattern;
    const char16_t* subject;
    bool ignoreCase;
    double matches;
  };
  const DialectCase cases[] = {
      {u"\\s", u"\v", false, 1},          {u"\\s", u"\u00a0", false, 0},
      {u"\\s", u"\u3000", false, 0},      {u"\\w", u"\u4e2d", false, 0},
      {u"\u03c3", u"\u03a3", true, 1},    {u"\u00e9", u"\u00c9", true, 1},
      {u"\u00e9", u"\u00c9", false, 0},
  };
  for (const DialectCase& c : cases) {
    const platform::ObjectRef engine = platform::CreateObject(u"VBScript.RegExp");
    platform::WriteMember(engine, u"IgnoreCase", platform::Value::Truth(c.ignoreCase));
    platform::WriteMember(engine, u"Pattern", platform::Value::FromText(c.pattern));
    const platform::Value matches =
        platform::InvokeMember(engine, u"Execute", {platform::Value::FromText(c.subject)});
    EXPECT_EQ(platform::InvokeMember(matches.object, u"Count").number, c.matches)
        << "pattern U+" << std::hex << static_cast<unsigned>(c.pattern[0]) << " subject U+"
        << static_cast<unsigned>(c.subject[0]);
  }
}

// The stand-in's collections make their match objects when first asked for
// them; two threads reading one collection at once get the same texts.
TEST(AutomationSeam, TwoThreadsReadOneCollection) {
  const platform::ObjectRef engine = platform::CreateObject(u"VBScript.RegExp");
  platform::WriteMember(engine, u"Global", platform::Value::Truth(true));
  platform::WriteMember(engine, u"Pattern", platform::Value::FromText(u"(\\d+)"));
  std::u16string subject;
  for (int k = 0; k < 2000; ++k) {
    subject += u' ';
    subject += static_cast<char16_t>(u'0' + k % 10);
  }
  const platform::ObjectRef matches =
      platform::InvokeMember(engine, u"Execute", {platform::Value::FromText(subject)}).object;
  const auto read = [&matches](int& wrong) {
    for (int k = 0; k < 2000; ++k) {
      const platform::ObjectRef match =
          platform::InvokeMember(matches, u"Item", {platform::Value::Number(k)}).object;
      const platform::ObjectRef groups = platform::InvokeMember(match, u"SubMatches").object;
      const std::u16string expected(1, static_cast<char16_t>(u'0' + k % 10));
      if (platform::InvokeMember(groups, u"Item", {platform::Value::Number(0)}).text != expected) {
        ++wrong;
      }
    }
  };
  const auto [wrongFirst, wrongSecond] = WrongCountsOnTwoThreads(read);
  EXPECT_EQ(wrongFirst, 0);
  EXPECT_EQ(wrongSecond, 0);
}

TEST(RegexObject, AnEngineThatCannotBeCreatedFailsSilently) {
  platform::stand_in::RegisterProgId(u"VBScript.RegExp", nullptr);
  RegexObject regex;
  const bool ran = regex.RunPattern("a", "a");
  platform::stand_in::RegisterProgId(u"VBScript.RegExp", &platform::stand_in::NewRegExp);
  EXPECT_FALSE(ran);
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(Str(regex.MatchText(1)), "");
  EXPECT_EQ(Str(regex.PatternText()), "");
  EXPECT_EQ(Str(regex.ReplaceMatches("x")), "");
}

TEST(ComUse, EveryObjectEndsTheUseItBegan) {
  EXPECT_EQ(platform::BeginComUse(), platform::ComUse::kBegan);
  {
    RegexObject regex;
    const auto copy = regex.Clone();
  }
  EXPECT_EQ(platform::BeginComUse(), platform::ComUse::kAlreadyBegun);
  platform::EndComUse();
  platform::EndComUse();
  EXPECT_EQ(platform::BeginComUse(), platform::ComUse::kBegan);
  platform::EndComUse();
}
#else
// A host thread in the multithreaded apartment: the object's own CoInitialize
// fails there, and its end must not undo the host's COM use.
TEST(ComUse, AThreadInAnotherApartmentKeepsItsComUse) {
  std::thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
      RegexObject regex;
      regex.RunPattern("a", "a");
    }
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE)
        << "the host's COM use was ended";
    CoUninitialize();
    CoUninitialize();
  }).join();
}
#endif

}  // namespace
