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

bool Ended(Worker& worker) {
  const std::lock_guard<std::mutex> lock(worker.mutex);
  return worker.done;
}

void Join(Worker& worker) {
  std::unique_lock<std::mutex> lock(worker.mutex);
  std::thread thread = std::move(worker.thread);
  lock.unlock();
  if (thread.joinable()) thread.join();
}

// Workers closed before they ended: abandoned after a time-out, and cancelled.
// Each is joined once it has ended, which gives back its stack.
struct Abandoned {
  std::mutex mutex;
  std::vector<std::shared_ptr<Worker>> workers;
};

Abandoned& AbandonedWorkers() {
  static Abandoned* abandoned = KeptUntilRelease(new Abandoned());
  return *abandoned;
}

// Takes the abandoned workers out of the list: all of them, or those that ended.
std::vector<std::shared_ptr<Worker>> TakeAbandoned(bool onlyEnded) {
  Abandoned& abandoned = AbandonedWorkers();
  const std::lock_guard<std::mutex> lock(abandoned.mutex);
  std::vector<std::shared_ptr<Worker>> taken;
  std::vector<std::shared_ptr<Worker>> left;
  for (std::shared_ptr<Worker>& worker : abandoned.workers) {
    (!onlyEnded || Ended(*worker) ? taken : left).push_back(std::move(worker));
  }
  abandoned.workers.swap(left);
  return taken;
}

void JoinAll(const std::vector<std::shared_ptr<Worker>>& workers) {
  for (const std::shared_ptr<Worker>& worker : workers) Join(*worker);
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
// running (abandoned after a time-out) finishes on its own and is joined by a
// later close, or by the module's unload.
void CloseWorker(WorkerHandle handle) {
  if (handle == nullptr) return;
  auto* shared = static_cast<std::shared_ptr<Worker>*>(handle);
  if (Ended(**shared)) {
    Join(**shared);
  } else {
    Abandoned& abandoned = AbandonedWorkers();
    const std::lock_guard<std::mutex> lock(abandoned.mutex);
    abandoned.workers.push_back(*shared);
  }
  delete shared;
  JoinAll(TakeAbandoned(true));
}

void FinishAbandonedWorkers() { JoinAll(TakeAbandoned(false)); }

}  // namespace platform
