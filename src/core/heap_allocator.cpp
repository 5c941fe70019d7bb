#include "core/heap_allocator.h"

#include "platform/large_blocks.h"

namespace heap_detail {

void* AllocateBlock(std::size_t bytes) {
  void* memory = std::malloc(bytes);
  if (memory != nullptr) platform::PreferLargePages(memory, bytes);
  return memory;
}

}  // namespace heap_detail
