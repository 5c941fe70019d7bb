// The plug-in information text that the host reads through `info`.
#pragma once

#include "core/text.h"

// Builds a new information text: ten lines, each ended by CR LF, 208 bytes.
Text BuildPluginInfo();
