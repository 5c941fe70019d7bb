#include "game/riddle_source.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "core/test_printing.h"
#include "game/riddle_page.h"
#include "web/web_request.h"

namespace {

// Serves one page for every address and remembers the addresses asked for.
struct FakeSite {
  std::string page;
  std::vector<std::string> asked;

  RiddlePageDownload Download() {
    return [this](Text& address) {
      asked.emplace_back(address.View());
      return Bytes(page);
    };
  }
};

TEST(RiddlePattern, IsTheSitesListItemWithTwoGroups) {
  const std::string expected =
      "<li><span class=\"table_left\">(.{1,}?)</span><span class=\"table_right\"><a "
      "href=\"javascript:;\" class=\"answer\" onclick=\"MM_popupMsg\\('答案：(.{1,}?)'\\)\">"
      "点击显示答案</a></span></li>";
  EXPECT_EQ(Hex(RiddlePattern().View()), Hex(expected));
  EXPECT_EQ(TextLength(RiddlePattern()), 178);
}

TEST(FetchRiddle, AsksEveryPageFromOneToSeventyAndNoOther) {
  FakeSite site{RiddlePage({{"问", "答"}})};
  RiddleState state;
  for (int i = 0; i < 1500; ++i) FetchRiddleWith(state, site.Download());

  const std::string base = "http://127.0.0.1:" TAMREK_LOCAL_SITE_PORT "/jzw/";
  std::set<int> pages;
  for (const std::string& address : site.asked) {
    ASSERT_EQ(address.substr(0, base.size()), base);
    const std::string name = address.substr(base.size());
    ASSERT_EQ(name.substr(name.size() - 4), ".htm") << address;
    const std::string digits = name.substr(0, name.size() - 4);
    ASSERT_NE(digits[0], '0') << address;
    pages.insert(std::stoi(digits));
  }
  EXPECT_EQ(pages.size(), 70u);
  EXPECT_EQ(*pages.begin(), 1);
  EXPECT_EQ(*pages.rbegin(), 70);
}

TEST(FetchRiddle, ChoosesEachRiddleOfAPageAlike) {
  const std::vector<Riddle> riddles = {{"一问", "一答"}, {"二问", "二答"}, {"三问", "三答"}, {"四问", "四答"}};
  FakeSite site{RiddlePage(riddles)};
  std::map<std::string, int> drawn;
  RiddleState state;
  const int draws = 2000;
  for (int i = 0; i < draws; ++i) {
    const std::string question = Str(FetchRiddleWith(state, site.Download()));
    ++drawn[question];
    // The answer stored is the one of the riddle handed out.
    ASSERT_EQ(question.substr(0, 2) + "答", Str(state.answer));
  }
  ASSERT_EQ(drawn.size(), riddles.size());
  for (const auto& [question, count] : drawn) {
    // Expected 500 each; the bounds lie five standard deviations away.
    EXPECT_GT(count, 400) << question;
    EXPECT_LT(count, 600) << question;
  }
}

TEST(FetchRiddle, TakesTheRiddleAsThePageSpellsIt) {
  struct {
    const char* name;
    std::string page;
    Riddle expected;
  } const cases[] = {
      {"one riddle", RiddlePage({{"什么门永远关不上？", "球门"}}), {"什么门永远关不上？", "球门"}},
      {"entities stay", RiddlePage({{"&quot;A&amp;B&quot; 里有&lt;几&gt;个字母？", "两个&amp;"}}),
       {"&quot;A&amp;B&quot; 里有&lt;几&gt;个字母？", "两个&amp;"}},
      {"upper-case markup",
       "<LI><SPAN CLASS=\"TABLE_LEFT\">大写</SPAN><SPAN CLASS=\"TABLE_RIGHT\"><A "
       "HREF=\"JAVASCRIPT:;\" CLASS=\"ANSWER\" ONCLICK=\"MM_POPUPMSG('答案：也行')\">点击显示答案</A>"
       "</SPAN></LI>",
       {"大写", "也行"}},
      {"a broken item is skipped",
       RiddleItem({"断\r\n开", "不算"}) + "\r\n" + RiddleItem({"完整", "算"}),
       {"完整", "算"}},
      {"no riddle on the page", "<html><li>首页</li></html>", {}},
      {"an empty answer is no riddle", RiddleItem({"没有答案", ""}), {}},
      {"the download failed", "", {}},
      {"the time-out text", std::string(TimeoutText().View()), {}},
  };
  for (const auto& c : cases) {
    FakeSite site{c.page};
    RiddleState state{"旧题", "旧答案"};
    EXPECT_EQ(Str(FetchRiddleWith(state, site.Download())), c.expected.question) << c.name;
    EXPECT_EQ(Str(state.answer), c.expected.answer) << c.name;
    EXPECT_EQ(Str(state.question), "旧题") << c.name << ": the question is the caller's to store";
  }
}

}  // namespace
