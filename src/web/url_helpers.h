// Taking a request URL apart for the Internet client library, and cutting
// values out of header text. Pure functions: every input yields a result.
// Their literal rules give some surprising results (every "http://" is
// deleted, the scheme is matched case-sensitively in UrlHost only, an https
// URL has port 0); the worker relies on them as they are.
#pragma once

#include <optional>

#include "core/text.h"

// The host in lower case: the URL without any "https://" or "http://", cut
// before the first "/" and then before the first ":".
Text UrlHost(const Text& url);

// The object path: from the first "/" at or after the host to the end of the
// URL, query included; "/" when there is none.
Text UrlPath(const Text& url);

// The port written after the first ":" of the host-and-port part, or 80.
int UrlPort(const Text& url);

// The text between the first `startMarker` and the next `endMarker`, or the
// empty text when either is missing. "#引号" in a marker stands for a double
// quote. Case is ignored unless `caseSensitive` is true. A given `start`
// applies to both searches, the second one counted within the rest.
Text TextBetween(const Text& t, const Text& startMarker, const Text& endMarker,
                 std::optional<int> start = std::nullopt,
                 std::optional<bool> caseSensitive = std::nullopt);

// Everything before the first `marker` found from `start` (omitted, 0 or
// negative: 1), or the empty text when it is missing. Exact match unless
// `ignoreCase` is true.
Text TextBefore(const Text& t, const Text& marker, std::optional<int> start = std::nullopt,
                std::optional<bool> ignoreCase = std::nullopt);
