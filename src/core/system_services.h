// The process services the module asks of the system: the millisecond clock
// and the pump for the calling thread's window messages.
#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since the system started, as a 32-bit value that wraps.
std::uint32_t UptimeMs();

// Dispatches the calling thread's waiting messages until its queue is empty
// or a quit message is at its head; the quit message stays in the queue.
void ProcessEvents();

// As ProcessEvents, and also stops before the next message once `mayGoOn`
// says no: a handler that posts itself again keeps the queue from ever
// emptying, and a caller bound to a time-out must still get its turn back.
void ProcessEventsWhile(const std::function<bool()>& mayGoOn);
