// One HTTP exchange, run on the worker thread of a web request: the request
// record is read out of the stream, the exchange runs on the Internet client,
// and the result record is written back over it.
//
// Record fields (the same positions carry the request and the result):
//   0 URL                  -> response body, raw bytes
//   1 "GET" or "POST"      -> received cookie text, "name=value;" per Set-Cookie line
//   2 proxy address        -> unchanged
//   3 caller's header text -> unchanged (without the default lines)
//   4 request body         -> unchanged
//   5 cookie text to send  -> raw response headers
//   6 "真" allows redirects -> unchanged
#pragma once

#include "core/memory_stream.h"
#include "platform/internet_client.h"

inline constexpr int kRequestRecordFields = 7;

enum RequestField {
  kFieldUrl = 0,
  kFieldMethod = 1,
  kFieldProxy = 2,
  kFieldHeaders = 3,
  kFieldPostData = 4,
  kFieldCookies = 5,
  kFieldAllowRedirects = 6,
};
// The result's use of the request's positions.
inline constexpr int kFieldBody = kFieldUrl;
inline constexpr int kFieldReceivedCookies = kFieldMethod;
inline constexpr int kFieldRawHeaders = kFieldCookies;

// Runs the exchange the record in `stream` asks for on `client`. When no
// record can be read from the stream, it is left as it was.
void RunHttpTransaction(StreamHandle stream, platform::InternetClient& client);
