// The two values every part of the module works on, and the core text
// operations whose edge results the message handling relies on.
//
// Text: bytes in code page 936 (GBK) that never hold a zero byte. Lengths and
// positions count bytes; positions are 1-based. The empty text is the only
// "null" there is: a text made from a null pointer is empty.
//
// Bytes: a byte array of any byte values, zero included; empty when its length is 0.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/heap_allocator.h"

class Text {
 public:
  using Storage = std::basic_string<char, std::char_traits<char>, HeapAllocator<char>>;

  Text() = default;
  // Copies the bytes up to the terminating zero; a null pointer gives the empty text.
  Text(const char* cString);  // NOLINT(google-explicit-constructor): texts come from literals
  // Copies `bytes` up to its first zero byte, if it holds one.
  Text(std::string_view bytes);  // NOLINT(google-explicit-constructor)
  // Takes `bytes` over, cut at its first zero byte, if it holds one.
  explicit Text(Storage&& bytes);

  // The bytes with a terminating zero; valid until the text is next changed.
  const char* CStr() const { return bytes_.c_str(); }
  std::string_view View() const { return {bytes_.data(), bytes_.size()}; }
  std::size_t Size() const { return bytes_.size(); }
  bool IsEmpty() const { return bytes_.empty(); }

  friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

 private:
  Storage bytes_;
};

class Bytes {
 public:
  using Storage = std::vector<unsigned char, HeapAllocator<unsigned char>>;

  Bytes() = default;
  // Copies every byte of `bytes`, zero bytes included.
  explicit Bytes(std::string_view bytes);
  // Takes `bytes` over whole.
  explicit Bytes(Storage&& bytes) : bytes_(std::move(bytes)) {}

  const unsigned char* Data() const { return bytes_.data(); }
  std::string_view View() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
  }
  std::size_t Size() const { return bytes_.size(); }
  bool IsEmpty() const { return bytes_.empty(); }

  friend bool operator==(const Bytes& a, const Bytes& b) { return a.bytes_ == b.bytes_; }

 private:
  Storage bytes_;
};

// Number of bytes of `t`; 0 for the empty text.
int TextLength(const Text& t);

// True when `a` and `b` hold the same bytes (case-sensitive).
bool TextEquals(const Text& a, const Text& b);

// 1-based byte position of `s` in `t`, searching from byte `start` (clamped to
// 1), or -1. Double-byte aware: a match never starts on the second byte of a
// two-byte character. An empty `s` is found at 1 when the searched part is not
// empty. `ignoreCase` folds A-Z to a-z and nothing else.
int FindText(const Text& t, const Text& s, int start = 1, bool ignoreCase = false);

// A replacement count that is never reached: every occurrence is replaced.
inline constexpr int kAllOccurrences = -1;

// `t` with the occurrences of `s` from byte `start` on replaced by `r`, left to
// right and without overlap; at most `count` of them when `count` is not
// negative. Double-byte aware like FindText. `caseSensitive` false folds A-Z.
Text ReplaceSubtext(const Text& t, const Text& s, const Text& r = Text(), int start = 1,
                    int count = kAllOccurrences, bool caseSensitive = true);

namespace text_detail {
Text Concat(std::initializer_list<std::string_view> pieces);
inline std::string_view AsPiece(const Text& t) { return t.View(); }
inline std::string_view AsPiece(std::string_view s) { return s; }
inline std::string_view AsPiece(const char* s) { return s != nullptr ? s : ""; }
}  // namespace text_detail

// The texts one after the other.
template <typename... Pieces>
Text ConcatText(const Pieces&... pieces) {
  return text_detail::Concat({text_detail::AsPiece(pieces)...});
}
