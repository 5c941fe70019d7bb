// An array of Bytes that owns its elements: the records handed between the
// web request and its worker thread travel as one. Positions are 0-based, and
// a position outside the array is a fault the module cannot continue from.
#pragma once

#include <vector>

#include "core/heap_allocator.h"
#include "core/text.h"

class BytesArray {
 public:
  BytesArray() = default;
  // `count` empty elements (none when count <= 0).
  explicit BytesArray(int count);

  int ElementCount() const { return static_cast<int>(elements_.size()); }

  // The element at `position`; ends the process (kElementOutOfRange) outside the array.
  const Bytes& At(int position) const;
  // Replaces the element at `position`; ends the process outside the array.
  void Set(int position, Bytes value);
  // Moves the element at `position` out, leaving it empty; ends the process
  // outside the array.
  Bytes Take(int position);

  // Makes the array `count` elements long. With `keep` the first elements stay
  // in order and new slots are empty; without it every slot becomes empty.
  void Resize(int count, bool keep);

 private:
  std::size_t CheckedIndex(int position) const;

  std::vector<Bytes, HeapAllocator<Bytes>> elements_;
};
