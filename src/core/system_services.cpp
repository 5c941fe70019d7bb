#include "core/system_services.h"

#include "platform/message_queue.h"
#include "platform/tick_count.h"

std::uint32_t UptimeMs() { return platform::TickCountMs(); }

void ProcessEvents() { platform::PumpWaitingMessages(); }

void ProcessEventsWhile(const std::function<bool()>& mayGoOn) {
  platform::PumpWaitingMessages(mayGoOn);
}
