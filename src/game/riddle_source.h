// Where new riddles come from.
#pragma once

#include "core/text.h"
#include "game/riddle_state.h"

// Gets a new riddle: replaces `state.answer` with its answer (the empty text
// when none could be obtained) and returns its question (empty likewise).
// Until the riddle web site is reachable from the module, no riddle is found.
Text FetchRiddle(RiddleState& state);
