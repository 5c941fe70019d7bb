// The game end to end: the built plug-in file, through its exports, against
// the generated riddle site served on loopback at the port it was built for.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/test_printing.h"
#include "game/chat_replies.h"
#include "game/local_site.h"
#include "game/riddle_page.h"
#include "game/riddle_source.h"
#include "platform/message_queue.h"
#include "plugin_loader.h"
#include "regex/regex_object.h"

namespace {

struct BankRiddle {
  int page;
  Riddle riddle;
};

// The generator's record of where it put every riddle of the bank.
std::vector<BankRiddle> ReadBank() {
  std::vector<BankRiddle> bank;
  std::istringstream lines(ReadSiteFile("bank.tsv"));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t first = line.find('\t');
    const std::size_t second = line.find('\t', first + 1);
    bank.push_back({std::stoi(line.substr(0, first)),
                    {line.substr(first + 1, second - first - 1), line.substr(second + 1)}});
  }
  return bank;
}

TEST(RiddleSite, EveryRiddleOfTheBankIsFoundOnceOnItsPage) {
  const std::vector<BankRiddle> bank = ReadBank();
  ASSERT_GE(bank.size(), 350u);
  std::map<std::string, std::string> expected;  // "page\tquestion" -> answer
  for (const BankRiddle& b : bank) {
    expected[std::to_string(b.page) + "\t" + b.riddle.question] = b.riddle.answer;
  }
  ASSERT_EQ(expected.size(), bank.size()) << "a question stands twice on one page";

  std::map<std::string, std::string> found;
  std::set<int> matchesPerPage;
  for (int page = 1; page <= 70; ++page) {
    const std::string file = "jzw/" + std::to_string(page) + ".htm";
    RegexObject riddles;
    riddles.RunPattern(RiddlePattern(), Text(ReadSiteFile(file)));
    const int count = riddles.MatchCount();
    EXPECT_GT(count, 0) << file;
    matchesPerPage.insert(count);
    for (int k = 1; k <= count; ++k) {
      const std::string key = std::to_string(page) + "\t" + Str(riddles.SubMatchText(k, 1));
      EXPECT_TRUE(found.emplace(key, Str(riddles.SubMatchText(k, 2))).second) << key;
    }
  }
  EXPECT_EQ(found, expected);
  EXPECT_EQ(*matchesPerPage.begin(), 1) << "one page holds a single riddle";
  EXPECT_GT(matchesPerPage.size(), 2u) << "pages of different sizes";
}

class RiddleGame : public testing::Test {
 protected:
  static void SetUpTestSuite() { site = new LocalSite(); }
  static void TearDownTestSuite() {
    delete site;
    site = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(site->Serving()) << "the riddle site could not be served on its port";
    Scenario("/scenario/site");
    std::string error;
    plugin = PluginFile::Load(TAMREK_LOCAL_SITE_PLUGIN_FILE, error);
    ASSERT_NE(plugin, nullptr) << error;
  }

  static void Scenario(const std::string& path, const std::string& page = "") {
    site->Scenario(path, page);
  }

  std::string Send(const std::string& message) { return plugin->PlugMain(message.c_str()); }

  static LocalSite* site;
  std::unique_ptr<PluginFile> plugin;
};

LocalSite* RiddleGame::site = nullptr;

TEST_F(RiddleGame, PlaysARoundOnTheServedSite) {
  std::map<std::string, std::string> answers;
  for (const BankRiddle& b : ReadBank()) answers[b.riddle.question] = b.riddle.answer;

  const std::string reply = Send("@急转弯");
  const std::string hint = kUsageHint;
  ASSERT_GT(reply.size(), hint.size()) << reply;
  ASSERT_EQ(reply.substr(reply.size() - hint.size()), hint) << reply;
  const std::string question = reply.substr(0, reply.size() - hint.size());
  ASSERT_EQ(answers.count(question), 1u) << question;
  const std::string& answer = answers[question];

  EXPECT_EQ(Send("@显示题目"), question);
  EXPECT_EQ(Send("@显示答案"), answer);
  EXPECT_EQ(Send("@答 这绝不是答案"), kWrong);
  EXPECT_EQ(Send("@答 " + answer), kCorrect);
}

TEST_F(RiddleGame, AFailedFetchLosesTheRiddle) {
  const struct {
    const char* name;
    const char* scenario;
    std::string page;
  } cases[] = {
      {"the site drops the request", "/scenario/drop", ""},
      {"a page without riddles", "/scenario/page", "<html><ul><li>首页</li></ul></html>"},
  };
  for (const auto& c : cases) {
    Scenario("/scenario/site");
    ASSERT_NE(Send("@急转弯"), kFetchFailed) << c.name;
    Scenario(c.scenario, c.page);
    EXPECT_EQ(Send("@急转弯"), kFetchFailed) << c.name;
    EXPECT_EQ(Send("@显示题目"), kNoRiddle) << c.name;
    EXPECT_EQ(Send("@显示答案"), kNoRiddle) << c.name;
  }
}

TEST_F(RiddleGame, APageWithOneRiddleAlwaysYieldsItAsItStands) {
  const Riddle riddle{"&quot;A&amp;B&quot;里有几个字母？", "两个&amp;"};
  Scenario("/scenario/page", RiddlePage({riddle}));
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Send("@急转弯"), riddle.question + kUsageHint);
    EXPECT_EQ(Send("@显示答案"), riddle.answer);
  }
  EXPECT_EQ(Send("@答 两个&amp;"), kCorrect);
}

TEST_F(RiddleGame, AMessageHandledDuringTheFetchSeesThePreviousRiddle) {
  Scenario("/scenario/page", RiddlePage({{"旧的问题", "旧"}}));
  ASSERT_EQ(Send("@急转弯"), std::string("旧的问题") + kUsageHint);

  // The new page takes a while; meanwhile the host hands over another message
  // on the same thread, which the waiting fetch dispatches.
  Scenario("/scenario/page?delay_ms=700", RiddlePage({{"新的问题", "新"}}));
  std::string duringFetch;
  platform::PostHandlerMessage([&] { duringFetch = Send("@显示题目"); });
  EXPECT_EQ(Send("@急转弯"), std::string("新的问题") + kUsageHint);
  EXPECT_EQ(duringFetch, "旧的问题");
  EXPECT_EQ(Send("@显示题目"), "新的问题");
  EXPECT_EQ(Send("@显示答案"), "新");
}

// A worker abandoned after the time-out never runs code of an unloaded
// module, however soon the host unloads the plug-in: on Windows it keeps the
// module loaded until it has left; on Linux the unload waits for it.
TEST_F(RiddleGame, AnUnloadNeverPullsTheModuleFromUnderAnAbandonedWorker) {
  plugin.reset();
  Scenario("/scenario/page?delay_ms=3000", RiddlePage({{"慢", "慢"}}));
  std::string error;
  std::unique_ptr<PluginFile> shortTimeout = PluginFile::Load(TAMREK_SHORT_TIMEOUT_PLUGIN_FILE, error);
  ASSERT_NE(shortTimeout, nullptr) << error;
  EXPECT_EQ(std::string(shortTimeout->PlugMain("@急转弯")), kFetchFailed);
  shortTimeout.reset();
#ifdef _WIN32
  EXPECT_NE(GetModuleHandleA("tamrek.cqp.dll"), nullptr) << "the worker holds the module";
  // The page arrives after 3 seconds; the worker then reads it, lets go of
  // the module and ends, and the module goes.
  const DWORD start = GetTickCount();
  while (GetModuleHandleA("tamrek.cqp.dll") != nullptr && GetTickCount() - start < 15000) Sleep(100);
  EXPECT_EQ(GetModuleHandleA("tamrek.cqp.dll"), nullptr) << "the worker let go of the module";
#else
  // Had the worker outlived the module, it would crash this process once
  // the page arrives.
  sleep(4);
#endif
  // The site still answers a fresh plug-in.
  plugin = PluginFile::Load(TAMREK_LOCAL_SITE_PLUGIN_FILE, error);
  ASSERT_NE(plugin, nullptr) << error;
  Scenario("/scenario/site");
  EXPECT_NE(Send("@急转弯"), kFetchFailed);
}

}  // namespace
