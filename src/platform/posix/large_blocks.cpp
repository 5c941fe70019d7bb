#include "platform/large_blocks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

void PreferLargePages(void* block, std::size_t size) {
  if (size < kLargeBlockBytes) return;
  // The advice covers every small page the block touches: a large block
  // mostly has a mapping of its own, and advising all of it keeps the mapping
  // whole, so that growing it later can still move it rather than copy it.
  const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = start & ~(pageSize - 1);
  madvise(reinterpret_cast<void*>(first), start + size - first, MADV_HUGEPAGE);
}

}  // namespace platform
