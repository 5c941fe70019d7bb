#include "platform/tick_count.h"

#include <windows.h>

namespace platform {

std::uint32_t TickCountMs() { return GetTickCount(); }

}  // namespace platform
