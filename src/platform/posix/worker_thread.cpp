// Stand-in worker threads: a std::thread that signals its end through a
// condition variable. Waiting messages of the calling thread end the wait at
// once.
#include "platform/worker_thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

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

std::atomic<int> runningWorkers{0};

// Workers closed before they ended: abandoned after a time-out, and cancelled.
struct Abandoned {
  std::mutex mutex;
  std::vector<std::thread> threads;
};

Abandoned& AbandonedWorkers() {
  static Abandoned* abandoned = KeptUntilRelease(new Abandoned());
  return *abandoned;
}

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
    Abandoned& abandoned = AbandonedWorkers();
    const std::lock_guard<std::mutex> abandonedLock(abandoned.mutex);
    abandoned.threads.push_back(std::move(thread));
  }
  delete shared;
}

void FinishAbandonedWorkers() {
  std::vector<std::thread> threads;
  {
    Abandoned& abandoned = AbandonedWorkers();
    const std::lock_guard<std::mutex> lock(abandoned.mutex);
    threads.swap(abandoned.threads);
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace platform
