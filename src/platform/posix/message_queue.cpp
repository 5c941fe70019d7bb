// Stand-in for a thread's window message queue: handler messages in posting
// order, and a quit flag that, as on Windows, reaches the head of the queue
// only once no other message is waiting.
#include "platform/message_queue.h"

#include <deque>
#include <utility>

namespace platform {
struct ThreadQueue {
  std::deque<std::function<void()>> handlers;
  bool quitPosted = false;
};
}  // namespace platform

// As on Windows, the queue belongs to the thread, not to a module: every module
// of the process reaches it through this one exported name, which the dynamic
// linker binds to the first definition it finds, the program's own when the
// program exports it (tamrek-host and the test programs do). So a message that
// the host posts is the one the plug-in's wait loop dispatches.
extern "C" __attribute__((visibility("default"))) platform::ThreadQueue* tamrek_thread_queue() {
  thread_local platform::ThreadQueue queue;
  return &queue;
}

namespace platform {

namespace {
ThreadQueue& Queue() { return *tamrek_thread_queue(); }
}  // namespace

void PumpWaitingMessages(const std::function<bool()>& mayGoOn) {
  ThreadQueue& queue = Queue();
  while (!queue.handlers.empty() && (!mayGoOn || mayGoOn())) {
    // Taken out before it runs, so a handler may post or pump in turn.
    std::function<void()> handler = std::move(queue.handlers.front());
    queue.handlers.pop_front();
    handler();
  }
}

bool HasWaitingMessages() { return !Queue().handlers.empty(); }

void PostHandlerMessage(std::function<void()> handler) {
  Queue().handlers.push_back(std::move(handler));
}

void PostQuit() { Queue().quitPosted = true; }

bool TakeQuitMessage() {
  ThreadQueue& queue = Queue();
  if (!queue.handlers.empty() || !queue.quitPosted) return false;
  queue.quitPosted = false;
  return true;
}

}  // namespace platform
