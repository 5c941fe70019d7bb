// Worker threads on CreateThread, waited for with MsgWaitForMultipleObjects.
#include "platform/worker_thread.h"

#include <windows.h>

#include <atomic>

namespace platform {
namespace {

std::atomic<int> runningWorkers{0};

struct StartInfo {
  WorkerRoutine routine;
  void* parameter;
  HMODULE module;
};

// Runs the routine, then lets go of the module reference taken for the thread
// in the same call that ends it, so no code of the module runs afterwards.
DWORD WINAPI WorkerStart(void* start) {
  const StartInfo info = *static_cast<StartInfo*>(start);
  delete static_cast<StartInfo*>(start);
  info.routine(info.parameter);
  --runningWorkers;
  FreeLibraryAndExitThread(info.module, 0);
}

// A counted reference on the module this code lives in.
HMODULE ReferenceThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&WorkerStart),
                     &module);
  return module;
}

}  // namespace

WorkerHandle StartWorker(WorkerRoutine routine, void* parameter) {
  const HMODULE module = ReferenceThisModule();
  if (module == nullptr) return nullptr;
  auto* start = new StartInfo{routine, parameter, module};
  ++runningWorkers;
  HANDLE thread = CreateThread(nullptr, 0, &WorkerStart, start, 0, nullptr);
  if (thread == nullptr) {
    --runningWorkers;
    delete start;
    FreeLibrary(module);
  }
  return thread;
}

bool AnyWorkerRunning() { return runningWorkers > 0; }

WaitStatus WaitForWorkerOrMessages(WorkerHandle worker, std::uint32_t milliseconds) {
  HANDLE handle = worker;
  switch (MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds, QS_ALLEVENTS)) {
    case WAIT_OBJECT_0:
      return WaitStatus::kWorkerEnded;
    case WAIT_OBJECT_0 + 1:
      return WaitStatus::kMessage;
    case WAIT_TIMEOUT:
      return WaitStatus::kTimedOut;
    default:
      return WaitStatus::kFailed;
  }
}

void CloseWorker(WorkerHandle worker) {
  if (worker != nullptr) CloseHandle(worker);
}

void FinishAbandonedWorkers() {}

}  // namespace platform
