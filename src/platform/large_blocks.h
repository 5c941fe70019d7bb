// Large blocks of memory: a body of tens of mebibytes is written into fresh
// memory more than once on its way to the caller, and each first touch of a
// small page costs the system a fault.
#pragma once

#include <cstddef>

namespace platform {

// Blocks at least this long are worth backing with large pages.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{4} << 20;

// Asks the system to back the block [block, block + size) with large pages
// where it can, so that filling it takes a few faults rather than one per
// small page; a shorter block than kLargeBlockBytes is left alone. Only
// advice: the block behaves the same either way, and a system that cannot
// follow it is left as it is.
void PreferLargePages(void* block, std::size_t size);

}  // namespace platform
