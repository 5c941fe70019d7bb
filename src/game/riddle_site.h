// The riddle web site the module was built for: "http://" + host + "/jzw/".
// The host comes from the build setting RIDDLE_SITE_HOST; each plug-in file
// links the one definition it was configured with.
#pragma once

#include <optional>

#include "core/text.h"

Text RiddleSiteBaseAddress();

// The time-out of a page download; none for the web request's usual 60
// seconds. Only a plug-in file made for the soak run sets one.
std::optional<int> RiddleFetchTimeoutSeconds();
