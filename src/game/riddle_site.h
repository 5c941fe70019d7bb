// The riddle web site the module was built for: "http://" + host + "/jzw/".
// The host comes from the build setting RIDDLE_SITE_HOST; each plug-in file
// links the one definition it was configured with.
#pragma once

#include "core/text.h"

Text RiddleSiteBaseAddress();
