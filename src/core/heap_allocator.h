// The allocator behind every Text and Bytes: the process-wide heap, and a
// fatal report instead of an exception when it is exhausted, so that no
// operation ever returns a partial result or throws out of the module.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <limits>

#include "core/runtime_error.h"

template <typename T>
struct HeapAllocator {
  using value_type = T;

  HeapAllocator() = default;
  template <typename U>
  constexpr HeapAllocator(const HeapAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    const std::size_t limit = std::numeric_limits<std::size_t>::max() / sizeof(T);
    const std::size_t bytes =
        count > limit ? std::numeric_limits<std::size_t>::max() : count * sizeof(T);
    void* memory = count > limit ? nullptr : std::malloc(bytes);
    if (memory == nullptr) RaiseRuntimeError(RuntimeErrorCode::kOutOfMemory, bytes);
    return static_cast<T*>(memory);
  }

  void deallocate(T* memory, std::size_t) noexcept { std::free(memory); }

  template <typename U>
  bool operator==(const HeapAllocator<U>&) const noexcept {
    return true;
  }
};
