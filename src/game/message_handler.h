// The game: one chat message in, the reply out.
#pragma once

#include <functional>

#include "core/text.h"
#include "game/riddle_source.h"
#include "game/riddle_state.h"

using RiddleFetcher = std::function<Text(RiddleState&)>;

// Normalises `message` in place (every double quote, every blank and every
// CR LF pair removed, in that order), recognises one of the four commands and
// returns the reply; anything else gets the empty text. Only "@急转弯" changes
// `state`, and only after `fetch` has returned.
Text HandleMessage(Text& message, RiddleState& state, const RiddleFetcher& fetch = FetchRiddle);

// Judges `userAnswer` against `state.answer` by the lenient containment rule:
// a part of the answer at least three fifths of its length, or a text holding
// the whole answer, is correct. Case-sensitive; lengths in bytes.
bool IsAnswerCorrect(const Text& userAnswer, const RiddleState& state);
