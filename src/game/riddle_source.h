// Where new riddles come from: a random page of the riddle web site.
#pragma once

#include <functional>

#include "core/text.h"
#include "game/riddle_state.h"

// Downloads the page at `address` and returns its body as it arrived: empty
// when the download failed, the time-out text when it took too long.
using RiddlePageDownload = std::function<Bytes(Text& address)>;

// Gets a new riddle: downloads one of the site's pages 1 to 70, chosen at
// random, picks one of the page's riddles at random, replaces `state.answer`
// with its answer and returns its question, both exactly as the page spells
// them. When no riddle can be had (site unreachable, time-out, no riddle on
// the page, no regular-expression engine) the answer and the question are
// empty.
Text FetchRiddleWith(RiddleState& state, const RiddlePageDownload& download);

// FetchRiddleWith through WebRequest, with the site address the module was built for.
Text FetchRiddle(RiddleState& state);

// The regular expression that finds the riddles of a page: group 1 is the
// question, group 2 the answer.
Text RiddlePattern();

// The address of riddle page `page`.
Text RiddlePageAddress(int page);
