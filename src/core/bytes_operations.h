// Operations on byte arrays. An empty Bytes stands for both the null and the
// zero-length array.
#pragma once

#include <initializer_list>
#include <string_view>

#include "core/text.h"

// Number of bytes; 0 for the empty array.
int BytesLength(const Bytes& b);

// True when both hold the same bytes.
bool BytesEquals(const Bytes& a, const Bytes& b);

// The bytes of `t` without a terminator.
Bytes ToBytes(const Text& t);

// n zero bytes; empty when n <= 0.
Bytes BlankBytes(int n);

// The first min(max(n, 0), length) bytes.
Bytes BytesLeft(const Bytes& b, int n);

namespace bytes_detail {
Bytes Concat(std::initializer_list<std::string_view> pieces);
}  // namespace bytes_detail

// The arrays one after the other.
template <typename... Pieces>
Bytes ConcatBytes(const Pieces&... pieces) {
  return bytes_detail::Concat({pieces.View()...});
}
