#include "web/url_helpers.h"

#include <algorithm>

#include "core/conversions.h"
#include "core/text_cutting.h"

namespace {

// #引号 in code page 936: the stand-in for a double quote inside a marker.
constexpr char kQuotePlaceholder[] = "#\xD2\xFD\xBA\xC5";
constexpr int kDefaultPort = 80;

Text WithQuotes(const Text& marker) { return ReplaceSubtext(marker, kQuotePlaceholder, "\""); }

// The bytes of `t` before the first `separator`, or all of `t`.
Text BeforeFirst(const Text& t, const Text& separator) {
  const int at = FindText(t, separator);
  return at > 0 ? TextLeft(t, at - 1) : t;
}

// The host-and-port part: after a leading "http://" in any case, up to the
// next "/".
Text HostAndPort(const Text& url) {
  if (CompareText(TextLeft(url, 7), "http://", false) == 0) {
    const int slash = FindText(url, "/", 8, true);
    return slash == -1 ? ReplaceTextAt(url, 1, 7) : TextMid(url, 8, slash - 8);
  }
  const int slash = FindText(url, "/", 1, true);
  return slash == -1 ? url : TextLeft(url, slash - 1);
}

}  // namespace

Text UrlHost(const Text& url) {
  const Text withoutSchemes = ReplaceSubtext(ReplaceSubtext(url, "https://"), "http://");
  return ToLowerCase(BeforeFirst(BeforeFirst(withoutSchemes, "/"), ":"));
}

Text UrlPath(const Text& url) {
  const int hostAt = FindText(url, UrlHost(url), 1, true);
  const int slash = FindText(url, "/", hostAt, true);  // -1: from the beginning
  if (slash <= 0) return "/";
  return TextRight(url, TextLength(url) - slash + 1);
}

int UrlPort(const Text& url) {
  const Text hostAndPort = HostAndPort(url);
  const int colon = FindText(hostAndPort, ":", 1, true);
  const Text port =
      colon == -1 ? ToText(kDefaultPort) : TextRight(hostAndPort, TextLength(hostAndPort) - colon);
  return TruncateToInteger(ToNumber(port));
}

Text TextBetween(const Text& t, const Text& startMarker, const Text& endMarker,
                 std::optional<int> start, std::optional<bool> caseSensitive) {
  const Text opening = WithQuotes(startMarker);
  const Text closing = WithQuotes(endMarker);
  const bool ignoreCase = !caseSensitive.value_or(false);
  const int from = start.value_or(1);
  const int openingAt = FindText(t, opening, from, ignoreCase);
  if (openingAt == -1) return Text();
  const Text rest = TextRight(t, TextLength(t) - openingAt - TextLength(opening) + 1);
  const int closingAt = FindText(rest, closing, from, ignoreCase);
  if (closingAt == -1) return Text();
  return TextLeft(rest, closingAt - 1);
}

Text TextBefore(const Text& t, const Text& marker, std::optional<int> start,
                std::optional<bool> ignoreCase) {
  const int from = std::max(start.value_or(1), 1);
  const int at = FindText(t, marker, from, ignoreCase.value_or(false));
  if (at == -1) return Text();
  return TextLeft(t, at - 1);
}
