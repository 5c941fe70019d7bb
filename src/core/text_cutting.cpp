#include "core/text_cutting.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace {

constexpr unsigned char kBlank = 0x20;
constexpr unsigned char kFullWidthBlankByte = 0xA1;  // A1 A1 is the full-width blank

unsigned char ByteAt(std::string_view t, std::size_t i) { return static_cast<unsigned char>(t[i]); }

bool IsLeadByte(unsigned char c) { return c >= 0x80; }

unsigned char FoldAsciiUpper(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Length of the blank that starts at `i`: 1 for 0x20, 2 for A1 A1, 0 for none.
std::size_t BlankLengthAt(std::string_view t, std::size_t i) {
  if (ByteAt(t, i) == kBlank) return 1;
  const bool fullWidth = ByteAt(t, i) == kFullWidthBlankByte && i + 1 < t.size() &&
                         ByteAt(t, i + 1) == kFullWidthBlankByte;
  return fullWidth ? 2 : 0;
}

// Offset where the kept part of `t` ends when scanning from `from`: before the
// run of blanks that reaches the end, or before a lone lead byte that ends it.
std::size_t TrimmedEnd(std::string_view t, std::size_t from) {
  std::size_t runStart = t.size();
  std::size_t i = from;
  while (i < t.size()) {
    const std::size_t blank = BlankLengthAt(t, i);
    if (blank > 0) {
      if (runStart == t.size()) runStart = i;
      i += blank;
      continue;
    }
    if (IsLeadByte(ByteAt(t, i)) && i + 1 == t.size()) return i;
    runStart = t.size();
    i += IsLeadByte(ByteAt(t, i)) ? 2 : 1;
  }
  return runStart;
}

}  // namespace

int CompareText(const Text& a, const Text& b, bool caseSensitive) {
  const std::string_view x = a.View();
  const std::string_view y = b.View();
  const std::size_t common = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < common; ++i) {
    unsigned char cx = ByteAt(x, i);
    unsigned char cy = ByteAt(y, i);
    if (!caseSensitive) {
      cx = FoldAsciiUpper(cx);
      cy = FoldAsciiUpper(cy);
    }
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

Text TextLeft(const Text& t, int n) {
  if (n <= 0) return Text();
  return Text(t.View().substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(const Text& t, int n) {
  if (n <= 0) return Text();
  const std::size_t kept = std::min(static_cast<std::size_t>(n), t.Size());
  return Text(t.View().substr(t.Size() - kept));
}

Text TextMid(const Text& t, int start, int n) {
  const std::int64_t k = static_cast<std::int64_t>(start) - 1;
  if (k < 0 || k >= static_cast<std::int64_t>(t.Size()) || n <= 0) return Text();
  return Text(t.View().substr(static_cast<std::size_t>(k), static_cast<std::size_t>(n)));
}

Text ReplaceTextAt(const Text& t, int start, int n, const std::optional<Text>& r) {
  const std::string_view text = t.View();
  const std::int64_t wanted = std::max<std::int64_t>(static_cast<std::int64_t>(start) - 1, 0);
  const std::size_t k = static_cast<std::size_t>(std::min<std::int64_t>(wanted, text.size()));
  const std::size_t removed = n >= 0 ? std::min(static_cast<std::size_t>(n), text.size() - k) : 0;
  return ConcatText(text.substr(0, k), r.has_value() ? r->View() : std::string_view(),
                    text.substr(k + removed));
}

Text TrimBothEnds(const Text& t) {
  const std::string_view text = t.View();
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t blank = BlankLengthAt(text, begin);
    if (blank == 0) break;
    begin += blank;
  }
  return Text(text.substr(begin, TrimmedEnd(text, begin) - begin));
}

Text ToLowerCase(const Text& t) {
  Text::Storage out(t.View());
  std::size_t i = 0;
  while (i < out.size()) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      i += 2;  // past the second byte; a lead byte at the very end ends the scan
      continue;
    }
    out[i] = static_cast<char>(FoldAsciiUpper(c));
    ++i;
  }
  return Text(std::move(out));
}

Text BlankText(int n) {
  if (n < 1) return Text();
  return Text(Text::Storage(static_cast<std::size_t>(n), ' '));
}
