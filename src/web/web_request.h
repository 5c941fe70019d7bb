// The module's one way to fetch a web resource: the exchange runs on a worker
// thread under a time-out while the calling thread's messages keep flowing.
#pragma once

#include <optional>

#include "core/text.h"

inline constexpr int kMethodPost = 1;
inline constexpr int kResultUtf8 = 1;
inline constexpr int kResultBig5 = 2;

// The body of the response to `url` ("http://" is put in front of a URL
// without scheme, and `url` receives the completed text), converted to GBK
// when `resultEncoding` names UTF-8 or Big5; the time-out text when the
// exchange outlasts `timeoutSeconds` (60 when omitted); empty for a blank URL
// or a failed exchange. `responseHeaders` and `receivedCookies` are written
// only when given, and only when the exchange ended in time.
Bytes WebRequest(Text& url, std::optional<int> method = std::nullopt,
                 std::optional<Text> proxy = std::nullopt,
                 std::optional<Text> headers = std::nullopt,
                 std::optional<Bytes> postData = std::nullopt,
                 std::optional<Text> cookies = std::nullopt,
                 std::optional<int> timeoutSeconds = std::nullopt, Text* responseHeaders = nullptr,
                 std::optional<int> resultEncoding = std::nullopt, Text* receivedCookies = nullptr,
                 std::optional<bool> allowRedirects = std::nullopt);

// The body returned when the time-out passes first.
Bytes TimeoutText();
