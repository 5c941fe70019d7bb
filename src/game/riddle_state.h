// The current riddle.
#pragma once

#include "core/text.h"

// There is a current riddle exactly when `question` is not empty; `answer` then
// holds its (non-empty) answer and is consulted only then.
struct RiddleState {
  Text question;  // written by HandleMessage with the result of every fetch
  Text answer;    // written by FetchRiddle at every fetch
};
