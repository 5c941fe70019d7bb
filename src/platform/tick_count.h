// The system's millisecond tick count.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since the system started; wraps at 2^32.
std::uint32_t TickCountMs();

}  // namespace platform
