// Stand-in worker threads: a std::thread that signals its end through a
// condition variable. Waiting messages of the calling thread end the wait at
// once.
#include "platform/worker_thread.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/lasting_objects.h"
#include "platform/message_queue.h"

namespace platform {
namespace {

struct Worker {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread thread;
};

// The workers of the module that have not yet returned from their routine.
struct Running {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

// A lasting object: an abandoned worker may still count itself out while
// the process ends.
Running& RunningWorkers() {
  static Running* running = KeptUntilRelease(new Running());
  return *running;
}

void CountIn() {
  Running& running = RunningWorkers();
  const std::lock_guard<std::mutex> lock(running.mutex);
  ++running.count;
}

void CountOut() {
  Running& running = RunningWorkers();
  const std::lock_guard<std::mutex> lock(running.mutex);
  --running.count;
  running.changed.notify_all();
}

// How long an unload waits for abandoned workers: they were cancelled and
// normally end within a fraction of a second; an unload never hangs on one.
constexpr auto kLongestUnloadWait = std::chrono::seconds(10);

}  // namespace

WorkerHandle StartWorker(WorkerRoutine routine, void* parameter) {
  auto* shared = new std::shared_ptr<Worker>(std::make_shared<Worker>());
  std::shared_ptr<Worker> worker = *shared;
  CountIn();
  // Taken under the lock so that the thread cannot end, and be closed, before
  // its own object is in place.
  const std::lock_guard<std::mutex> lock(worker->mutex);
  worker->thread = std::thread([worker, routine, parameter] {
    routine(parameter);
    {
      const std::lock_guard<std::mutex> lock(worker->mutex);
      worker->done = true;
      worker->ended.notify_all();
    }
    CountOut();
  });
  return shared;
}

bool AnyWorkerRunning() {
  Running& running = RunningWorkers();
  const std::lock_guard<std::mutex> lock(running.mutex);
  return running.count > 0;
}

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
// running (abandoned after a time-out) finishes on its own, and the module's
// unload waits for it.
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

void FinishAbandonedWorkers() {
  Running& running = RunningWorkers();
  std::unique_lock<std::mutex> lock(running.mutex);
  running.changed.wait_for(lock, kLongestUnloadWait, [&running] { return running.count == 0; });
}

}  // namespace platform
