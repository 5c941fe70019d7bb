// The allocator behind every Text and Bytes: the process-wide heap, and a
// fatal report instead of an exception when it is exhausted, so that no
// operation ever returns a partial result or throws out of the module.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>

#include "core/runtime_error.h"

namespace heap_detail {
inline thread_local int softFailureScopes = 0;

// `bytes` from the process-wide heap, a large block on large pages where the
// system has them; null when the heap is exhausted.
void* AllocateBlock(std::size_t bytes);
}  // namespace heap_detail

// While one lives on a thread, an exhausted heap throws std::bad_alloc on that
// thread instead of ending the process, for the one operation (reading a
// record back from a stream) that must fail rather than end the host. The
// code that opens the scope catches the exception; nothing else ever sees it.
class SoftAllocationFailure {
 public:
  SoftAllocationFailure() { ++heap_detail::softFailureScopes; }
  ~SoftAllocationFailure() { --heap_detail::softFailureScopes; }
  SoftAllocationFailure(const SoftAllocationFailure&) = delete;
  SoftAllocationFailure& operator=(const SoftAllocationFailure&) = delete;
};

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
    void* memory = count > limit ? nullptr : heap_detail::AllocateBlock(bytes);
    if (memory == nullptr) {
      if (heap_detail::softFailureScopes > 0) throw std::bad_alloc();
      RaiseRuntimeError(RuntimeErrorCode::kOutOfMemory, bytes);
    }
    return static_cast<T*>(memory);
  }

  void deallocate(T* memory, std::size_t) noexcept { std::free(memory); }

  template <typename U>
  bool operator==(const HeapAllocator<U>&) const noexcept {
    return true;
  }
};
