// The worker thread a web request runs its exchange on, and the wait for it
// that keeps the calling thread's messages flowing.
#pragma once

#include <cstdint>

namespace platform {

using WorkerHandle = void*;
using WorkerRoutine = void (*)(void* parameter);

// Starts `routine(parameter)` on a new thread at once; null when no thread
// could be started. On Windows the thread holds a reference on this module
// until it has left, so that a worker outliving its caller never runs code of
// an unloaded module.
WorkerHandle StartWorker(WorkerRoutine routine, void* parameter);

// True while a worker started by this module has not yet returned from its
// routine.
bool AnyWorkerRunning();

enum class WaitStatus {
  kWorkerEnded,  // WAIT_OBJECT_0
  kTimedOut,     // WAIT_TIMEOUT
  kMessage,      // a message for the calling thread arrived
  kFailed,
};

// Waits up to `milliseconds` for the worker to end or for a message to the
// calling thread (any input, posted message, timer, paint or hot key).
WaitStatus WaitForWorkerOrMessages(WorkerHandle worker, std::uint32_t milliseconds);

// Lets go of the handle; a worker still running finishes on its own.
void CloseWorker(WorkerHandle worker);

// Called as the module is unloaded: waits for the workers closed while still
// running (abandoned after a time-out and cancelled, so they end soon), so
// that none runs the module's code once it is gone. On Windows each such
// worker keeps the module loaded by its own reference instead, and the
// process's other threads may already be stopped: nothing waits there.
void FinishAbandonedWorkers();

}  // namespace platform
