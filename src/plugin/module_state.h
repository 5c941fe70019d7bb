// What the module keeps between calls of its exports.
#pragma once

#include "core/text.h"
#include "game/riddle_state.h"

struct ModuleState {
  RiddleState riddle;
  Text lastInfoText;  // what `info` returned last
  Text lastReply;     // what `plugmain` returned last
};

// The module's kept state, made on first use so that a module whose exports
// are never called holds nothing. Released by the unload routine.
ModuleState& KeptState();

// Registers the unload routine; returns 1 so that loading always succeeds.
int ModuleStartup();

// Releases the kept texts: the question, the answer, the last information
// text and the last reply, in that order; the next call of an export starts
// with a new state.
void ReleaseKeptState();

// The unload routine: releases the kept state, then the objects kept for as
// long as the module is loaded when no worker is left to use them.
void ModuleTeardown();
