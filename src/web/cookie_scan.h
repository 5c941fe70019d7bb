// The scan of a response's raw header text for the cookies it sets.
#pragma once

#include "core/text.h"
#include "platform/internet_client.h"

// Hands every cookie of a "Set-Cookie: " line of `rawHeaders` to `client`'s
// cookie store for "http://" + `host` and returns the received cookie text,
// "name=value;" per such line. Any header text yields a result.
Text StoreCookies(platform::InternetClient& client, const Text& host, const Text& rawHeaders);
