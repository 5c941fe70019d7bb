#include "web/cookie_scan.h"

#include "core/conversions.h"
#include "core/memory_stream.h"
#include "core/text_cutting.h"
#include "web/url_helpers.h"

namespace {

constexpr const char* kSetCookieName = "Set-Cookie: ";
constexpr int kSetCookieNameLength = 12;

// Stores the cookie of one Set-Cookie line and returns its piece of the
// received cookie text.
Text StoreCookie(platform::InternetClient& client, const Text& cookieUrl, const Text& line) {
  const Text cookie = ReplaceTextAt(line, 1, kSetCookieNameLength);
  const int equals = FindText(cookie, "=");
  const Text name = TextLeft(cookie, equals - 1);
  const Text data = TextRight(cookie, TextLength(cookie) - equals);
  client.SetCookie(cookieUrl.View(), name.View(), data.View());
  return ConcatText(TextBefore(cookie, ";"), ";");
}

}  // namespace

// A zero or 0x1A byte, which ends a line without being read, is stepped over
// so that the scan always reaches the end.
Text StoreCookies(platform::InternetClient& client, const Text& host, const Text& rawHeaders) {
  if (FindText(rawHeaders, kSetCookieName, 1, true) <= 0) return Text();
  const Text cookieUrl = ConcatText("http://", host);
  Text received;
  const StreamHandle lines = OpenMemoryStream();
  WriteText(lines, rawHeaders);
  Rewind(lines);
  while (!AtEnd(lines, false)) {
    const Text line = ReadLine(lines);
    if (AtEnd(lines, true)) SkipByte(lines);
    if (FindText(line, kSetCookieName, 1, true) > 0) {
      received = ConcatText(received, StoreCookie(client, cookieUrl, line));
    }
  }
  CloseStream(lines);
  return received;
}
