#include "core/text.h"

#include <algorithm>
#include <utility>

namespace {

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char FoldAsciiUpper(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares s.size() bytes at `at` in `t` with `s`.
bool MatchesAt(std::string_view t, std::size_t at, std::string_view s, bool ignoreCase) {
  std::string_view candidate = t.substr(at, s.size());
  if (!ignoreCase) return candidate == s;
  return std::equal(candidate.begin(), candidate.end(), s.begin(),
                    [](char a, char b) { return FoldAsciiUpper(a) == FoldAsciiUpper(b); });
}

std::size_t FirstOffset(int start) { return start > 1 ? static_cast<std::size_t>(start) - 1 : 0; }

}  // namespace

Text::Text(const char* cString) {
  if (cString != nullptr) bytes_.assign(cString);
}

Text::Text(std::string_view bytes) { bytes_.assign(bytes.substr(0, bytes.find('\0'))); }

Text::Text(Storage&& bytes) : bytes_(std::move(bytes)) {
  const std::size_t zero = bytes_.find('\0');
  if (zero != Storage::npos) bytes_.resize(zero);
}

// Copied as unsigned bytes, so that the compiler copies them in wide blocks
// rather than converting them byte by byte.
Bytes::Bytes(std::string_view bytes)
    : bytes_(reinterpret_cast<const unsigned char*>(bytes.data()),
             reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size()) {}

int TextLength(const Text& t) { return static_cast<int>(t.Size()); }

bool TextEquals(const Text& a, const Text& b) { return a == b; }

int FindText(const Text& t, const Text& s, int start, bool ignoreCase) {
  const std::string_view text = t.View();
  const std::string_view sought = s.View();
  std::size_t k = FirstOffset(start);
  if (sought.empty()) return k < text.size() ? 1 : -1;
  while (k < text.size() && text.size() - k >= sought.size()) {
    if (MatchesAt(text, k, sought, ignoreCase)) return static_cast<int>(k + 1);
    k += IsLeadByte(text[k]) ? 2 : 1;
  }
  return -1;
}

Text ReplaceSubtext(const Text& t, const Text& s, const Text& r, int start, int count,
                    bool caseSensitive) {
  const std::string_view text = t.View();
  const std::string_view sought = s.View();
  std::size_t k = FirstOffset(start);
  if (text.empty() || sought.empty() || k >= text.size() || count == 0) return t;

  Text::Storage out(text.substr(0, k));
  int replaced = 0;
  while (text.size() - k >= sought.size() && replaced != count) {
    if (MatchesAt(text, k, sought, !caseSensitive)) {
      out.append(r.View());
      k += sought.size();
      ++replaced;
    } else if (IsLeadByte(text[k])) {
      // A lead byte that ends the text has no second byte: it is dropped.
      if (k + 1 == text.size()) return Text(std::move(out));
      out.append(text.substr(k, 2));
      k += 2;
    } else {
      out.push_back(text[k]);
      k += 1;
    }
  }
  out.append(text.substr(k));
  return Text(std::move(out));
}

Text text_detail::Concat(std::initializer_list<std::string_view> pieces) {
  std::size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  Text::Storage out;
  out.reserve(total);
  for (std::string_view piece : pieces) out.append(piece);
  return Text(std::move(out));
}
