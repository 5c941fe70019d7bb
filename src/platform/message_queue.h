// The calling thread's message queue: pumped while the module waits, so that a
// host delivering its work through window messages stays responsive.
#pragma once

#include <functional>

namespace platform {

// Takes, translates and dispatches the waiting messages one by one until the
// queue is empty or a quit message is at its head; the quit message stays.
// A quit message reaches the head only once no other message is waiting.
// Given `mayGoOn`, it also stops before taking a message once that says no.
void PumpWaitingMessages(const std::function<bool()>& mayGoOn = {});

// True when a message waits in the calling thread's queue.
bool HasWaitingMessages();

// Posts to the calling thread's queue a message whose dispatch runs `handler`.
void PostHandlerMessage(std::function<void()> handler);

// Posts the quit message to the calling thread's queue.
void PostQuit();

// Removes the quit message when it is at the head of the queue; true when it was.
bool TakeQuitMessage();

}  // namespace platform
