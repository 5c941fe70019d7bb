#include "game/message_handler.h"

#include <gtest/gtest.h>

#include <string>

#include "game/chat_replies.h"
#include "game/chat_texts.h"

namespace {

TEST(ChatTexts, FixedRepliesAreTheExactBytes) {
  struct {
    std::string_view actual;
    const char* expected;
    std::size_t length;
  } const cases[] = {
      {chat_texts::kUsageHint, kUsageHint, 100},
      {chat_texts::kFetchFailed, kFetchFailed, 33},
      {chat_texts::kNoRiddle, kNoRiddle, 47},
      {chat_texts::kAnswerCorrect, kCorrect, 25},
      {chat_texts::kAnswerWrong, kWrong, 29},
      {chat_texts::kFetchCommand, "@急转弯", 7},
      {chat_texts::kShowAnswerCommand, "@显示答案", 9},
      {chat_texts::kAnswerCommand, "@答", 3},
      {chat_texts::kShowQuestionCommand, "@显示题目", 9},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.actual, c.expected);
    EXPECT_EQ(c.actual.size(), c.length) << c.expected;
  }
}

// A riddle source for the tests: hands out the riddle it is given, or none.
struct FakeSource {
  Text question;
  Text answer;
  int calls = 0;

  RiddleFetcher Fetcher() {
    return [this](RiddleState& state) {
      ++calls;
      state.answer = answer;
      return question;
    };
  }
};

class Game : public testing::Test {
 protected:
  std::string Send(const char* message) {
    Text text(message);
    return std::string(HandleMessage(text, state, source.Fetcher()).View());
  }

  void StartRiddle(const char* question, const char* answer) {
    source.question = question;
    source.answer = answer;
    ASSERT_EQ(Send("@急转弯"), std::string(question) + kUsageHint);
  }

  RiddleState state;
  FakeSource source;
};

TEST_F(Game, RecognisesCommandsAfterNormalisation) {
  struct {
    const char* message;
    const char* reply;  // with the riddle "什么门永远关不上" / "球门" current
  } const cases[] = {
      {"@显示题目", "什么门永远关不上"},
      {"@ 显 示 题 目", "什么门永远关不上"},   // blanks removed
      {"\"@显示题目\"", "什么门永远关不上"},   // double quotes removed
      {"@显示题目\r\n", "什么门永远关不上"},   // CR LF removed
      {"@显示题目\r \n", "什么门永远关不上"},  // the blank goes first, leaving CR LF
      {"@显示题目\n", ""},                     // a lone LF stays
      {"@显示题目\r", ""},                     // a lone CR stays
      {"@显示题目\t", ""},                     // tabs stay
      {"@显示题目　", ""},                     // the full-width blank stays
      {"@显示答案", "球门"},
      {"@显示答案 ", "球门"},
      {"@显示答案x", ""},
      {"x@显示答案", ""},
      {"@\"答球门", kCorrect},  // "@" and "答" joined by the removal
      {"@ 答 球门", kCorrect},
      {"球@答 门", kCorrect},  // text before and after "@答" joined
      {"@答@答门", kCorrect},  // every "@答" removed: the answer is "门"
      {"@答", kWrong},         // empty answer to a 4-byte answer
      {"hello", ""},
      {"", ""},
      {"@急转弯弯", ""},
  };
  StartRiddle("什么门永远关不上", "球门");
  for (const auto& c : cases) {
    EXPECT_EQ(Send(c.message), c.reply) << c.message;
  }
  EXPECT_EQ(source.calls, 1) << "only \"@急转弯\" fetches";
  EXPECT_EQ(state.question, Text("什么门永远关不上"));
  EXPECT_EQ(state.answer, Text("球门"));
}

TEST_F(Game, FetchCommandInAnyNormalisedForm) {
  source.question = "Q";
  source.answer = "A";
  for (const char* message : {"@急转弯", "@ 急 转 弯", "@急转弯\r\n", "\"@急转弯\""}) {
    EXPECT_EQ(Send(message), std::string("Q") + kUsageHint) << message;
  }
  EXPECT_EQ(Send("@急转弯\n"), "");
  EXPECT_EQ(source.calls, 4);
}

TEST_F(Game, WithoutARiddleTheCommandsSayThereIsNone) {
  for (const char* message : {"@显示答案", "@显示题目", "@答球门", "@答"}) {
    EXPECT_EQ(Send(message), kNoRiddle) << message;
  }
  EXPECT_EQ(source.calls, 0);
}

TEST_F(Game, AFailedFetchRepliesWithTheFailureAndEndsTheCurrentRiddle) {
  StartRiddle("什么门永远关不上", "球门");
  source.question = Text();
  source.answer = Text();
  EXPECT_EQ(Send("@急转弯"), kFetchFailed);
  EXPECT_TRUE(state.question.IsEmpty());
  EXPECT_TRUE(state.answer.IsEmpty());
  EXPECT_EQ(Send("@显示题目"), kNoRiddle);
}

TEST_F(Game, TheOldRiddleStaysInPlaceWhileTheFetchRuns) {
  StartRiddle("old question", "old");
  Text seenDuringFetch;
  const RiddleFetcher fetch = [&](RiddleState& during) {
    Text inner("@显示题目");
    seenDuringFetch = HandleMessage(inner, during, source.Fetcher());
    during.answer = "new";
    return Text("new question");
  };
  Text message("@急转弯");
  EXPECT_EQ(HandleMessage(message, state, fetch), ConcatText(Text("new question"), kUsageHint));
  EXPECT_EQ(seenDuringFetch, Text("old question"));
}

TEST_F(Game, AnAnswerDoesNotEndTheRiddle) {
  StartRiddle("什么门永远关不上", "球门");
  EXPECT_EQ(Send("@答球门"), kCorrect);
  EXPECT_EQ(Send("@答球门"), kCorrect);
  EXPECT_EQ(Send("@显示题目"), "什么门永远关不上");
}

TEST(IsAnswerCorrect, ContainmentAndThreshold) {
  struct {
    const char* answer;
    const char* user;
    bool correct;
  } const cases[] = {
      {"一二三四", "二三", true},        // 4 of 8 bytes: the threshold 4 is admitted
      {"一二三四", "二", false},         // 2 of 8
      {"一二三四", "一二三四五", true},  // holds the whole answer
      {"一二三四", "五六", false},
      {"ABC", "abc", false},  // case-sensitive
      {"ABC", "AB", true},
      {"ABC", "A", true},    // 1 of 3 bytes, threshold 1
      {"ABCD", "A", false},  // threshold 2
      {"A", "", true},       // the empty answer and a 1-byte answer: threshold 0
      {"AB", "", false},
      {"ABCDE", "ABC", true},  // threshold 3
      {"ABCDE", "AB", false},
      {"ABCDEFGHIJ", "ABCDEF", true},  // threshold 6
      {"ABCDEFGHIJ", "ABCDE", false},
      {"球门", "这是球门吧", true},
  };
  for (const auto& c : cases) {
    RiddleState state{"question", c.answer};
    EXPECT_EQ(IsAnswerCorrect(c.user, state), c.correct) << c.answer << " / " << c.user;
  }
}

}  // namespace
