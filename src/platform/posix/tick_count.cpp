#include "platform/tick_count.h"

#include <time.h>

namespace platform {

std::uint32_t TickCountMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // the low 32 bits, wrapping like the tick count
}

}  // namespace platform
