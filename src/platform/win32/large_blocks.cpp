#include "platform/large_blocks.h"

namespace platform {

// Large pages on Windows need the lock-memory privilege, which a host's
// account does not hold: blocks stay on small pages.
void PreferLargePages(void*, std::size_t) {}

}  // namespace platform
