#include "core/bytes_array.h"

#include <algorithm>
#include <utility>

#include "core/runtime_error.h"

namespace {

std::size_t ClampedCount(int count) { return static_cast<std::size_t>(std::max(count, 0)); }

}  // namespace

BytesArray::BytesArray(int count) : elements_(ClampedCount(count)) {}

const Bytes& BytesArray::At(int position) const { return elements_[CheckedIndex(position)]; }

void BytesArray::Set(int position, Bytes value) {
  elements_[CheckedIndex(position)] = std::move(value);
}

Bytes BytesArray::Take(int position) { return std::move(elements_[CheckedIndex(position)]); }

void BytesArray::Resize(int count, bool keep) {
  if (!keep) elements_.clear();
  elements_.resize(ClampedCount(count));
}

std::size_t BytesArray::CheckedIndex(int position) const {
  if (position < 0 || position >= ElementCount()) {
    RaiseRuntimeError(RuntimeErrorCode::kElementOutOfRange);
  }
  return static_cast<std::size_t>(position);
}
