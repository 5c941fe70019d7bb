// Stand-in worker threads: a std::thread that signals its end through a
// condition variable. The message queue of the stand-in is filled
// only by the calling thread itself, so waiting messages end the wait at once.
#include "platform/worker_thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/message_queue.h"

namespace platform {
namespace {

struct Worker {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread thread;
};

std::atomic<int> runningWorkers{0};

}  // namespace

WorkerHandle StartWorker(WorkerRoutine routine, void* parameter) {
  auto* shared = new std::shared_ptr<Worker>(std::make_shared<Worker>());
  std::shared_ptr<Worker> worker = *shared;
  ++runningWorkers;
  // Taken under the lock so that the thread cannot end, and be closed, before
  // its own object is in place.
  const std::lock_guard<std::mutex> lock(worker->mutex);
  worker->thread = std::thread([worker, routine, parameter] {
    routine(parameter);
    --runningWorkers;
    const std::lock_guard<std::mutex> lock(worker->mutex);
    worker->done = true;
    worker->ended.notify_all();
  });
  return shared;
}

bool AnyWorkerRunning() { return runningWorkers > 0; }

WaitStatus WaitForWorkerOrMessages(WorkerHandle handle, std::uint32_t milliseconds) {
  if (handle == nullptr) return WaitStatus::kFailed;
  if (HasWaitingMessages()) return WaitStatus::kMessage;
  Worker& worker = **static_cast<std::shared_ptr<Worker>*>(handle);
  std::unique_lock<std::mutex> lock(worker.mutex);
  const bool ended = worker.ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                           [&worker] { return worker.done; });
  return ended ? WaitStatus::kWorkerEnded : WaitStatus::kTimedOut;
}

// A worker that has ended is joined, so that none of its code is left running
// when the caller returns and the host may unload the module; one still
// running (abandoned after a time-out) finishes on its own.
void CloseWorker(WorkerHandle handle) {
  if (handle == nullptr) return;
  auto* shared = static_cast<std::shared_ptr<Worker>*>(handle);
  Worker& worker = **shared;
  std::unique_lock<std::mutex> lock(worker.mutex);
  std::thread thread = std::move(worker.thread);
  const bool done = worker.done;
  lock.unlock();
  if (done) {
    thread.join();
  } else {
    thread.detach();
  }
  delete shared;
}

}  // namespace platform
