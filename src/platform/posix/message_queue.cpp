// Stand-in for a thread's window message queue: handler messages in posting
// order, and a quit flag that, as on Windows, reaches the head of the queue
// only once no other message is waiting.
#include "platform/message_queue.h"

#include <deque>
#include <utility>

namespace platform {

namespace {

struct ThreadQueue {
  std::deque<std::function<void()>> handlers;
  bool quitPosted = false;
};

thread_local ThreadQueue queue;

}  // namespace

void PumpWaitingMessages() {
  while (!queue.handlers.empty()) {
    // Taken out before it runs, so a handler may post or pump in turn.
    std::function<void()> handler = std::move(queue.handlers.front());
    queue.handlers.pop_front();
    handler();
  }
}

bool HasWaitingMessages() { return !queue.handlers.empty(); }

void PostHandlerMessage(std::function<void()> handler) {
  queue.handlers.push_back(std::move(handler));
}

void PostQuit() { queue.quitPosted = true; }

bool TakeQuitMessage() {
  if (!queue.handlers.empty() || !queue.quitPosted) return false;
  queue.quitPosted = false;
  return true;
}

}  // namespace platform
