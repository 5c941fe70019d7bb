#include "game/message_handler.h"

#include <cstdint>

#include "game/chat_texts.h"

namespace {

void Normalise(Text& message) {
  message = ReplaceSubtext(message, "\"");
  message = ReplaceSubtext(message, " ");
  message = ReplaceSubtext(message, "\r\n");
}

bool Occurs(const Text& sought, const Text& text) { return FindText(text, sought) != -1; }

Text ReplyToFetch(RiddleState& state, const RiddleFetcher& fetch) {
  // The old riddle stays in place while the fetch runs: a message handled
  // during the wait still sees it.
  Text question = fetch(state);
  state.question = question;
  if (state.question.IsEmpty()) return ConcatText(state.question, chat_texts::kFetchFailed);
  return ConcatText(state.question, chat_texts::kUsageHint);
}

Text ReplyToAnswer(Text& message, const RiddleState& state) {
  message = ReplaceSubtext(message, chat_texts::kAnswerCommand);
  if (state.question.IsEmpty()) return chat_texts::kNoRiddle;
  return IsAnswerCorrect(message, state) ? chat_texts::kAnswerCorrect : chat_texts::kAnswerWrong;
}

Text ShowOrNoRiddle(const RiddleState& state, const Text& shown) {
  return state.question.IsEmpty() ? Text(chat_texts::kNoRiddle) : shown;
}

}  // namespace

Text HandleMessage(Text& message, RiddleState& state, const RiddleFetcher& fetch) {
  Normalise(message);
  if (message == chat_texts::kFetchCommand) return ReplyToFetch(state, fetch);
  if (message == chat_texts::kShowAnswerCommand) return ShowOrNoRiddle(state, state.answer);
  if (Occurs(chat_texts::kAnswerCommand, message)) return ReplyToAnswer(message, state);
  if (message == chat_texts::kShowQuestionCommand) return ShowOrNoRiddle(state, state.question);
  return Text();
}

bool IsAnswerCorrect(const Text& userAnswer, const RiddleState& state) {
  const Text& answer = state.answer;
  if (Occurs(userAnswer, answer)) {
    // 0.6 x length truncated toward zero, computed exactly.
    const std::int64_t threshold = std::int64_t{3} * TextLength(answer) / 5;
    return TextLength(userAnswer) >= threshold;
  }
  return Occurs(answer, userAnswer);
}
