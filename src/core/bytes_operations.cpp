#include "core/bytes_operations.h"

#include <algorithm>
#include <utility>

int BytesLength(const Bytes& b) { return static_cast<int>(b.Size()); }

bool BytesEquals(const Bytes& a, const Bytes& b) { return a == b; }

Bytes ToBytes(const Text& t) { return Bytes(t.View()); }

Bytes BlankBytes(int n) {
  if (n <= 0) return Bytes();
  return Bytes(Bytes::Storage(static_cast<std::size_t>(n), 0));
}

Bytes BytesLeft(const Bytes& b, int n) {
  const std::size_t kept = std::min(static_cast<std::size_t>(std::max(n, 0)), b.Size());
  return Bytes(b.View().substr(0, kept));
}

Bytes bytes_detail::Concat(std::initializer_list<std::string_view> pieces) {
  std::size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  Bytes::Storage out;
  out.reserve(total);
  for (std::string_view piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
  return Bytes(std::move(out));
}
