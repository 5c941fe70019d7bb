#include "plugin/module_state.h"

#include "core/lasting_objects.h"
#include "platform/module_hooks.h"
#include "platform/worker_thread.h"

namespace {

// A pointer rather than a static object: the kept texts are released by the
// unload routine, never by the runtime's own exit-time destructors, whose
// order against the unload hook differs between platforms.
ModuleState* keptState = nullptr;

}  // namespace

ModuleState& KeptState() {
  if (keptState == nullptr) keptState = new ModuleState();
  return *keptState;
}

int ModuleStartup() {
  platform::RegisterUnloadRoutine(ModuleTeardown);
  return 1;
}

void ReleaseKeptState() {
  if (keptState == nullptr) return;
  keptState->riddle.question = Text();
  keptState->riddle.answer = Text();
  keptState->lastInfoText = Text();
  keptState->lastReply = Text();
  delete keptState;
  keptState = nullptr;
}

void ModuleTeardown() {
  ReleaseKeptState();
  platform::FinishAbandonedWorkers();
  // A worker still running can only be one abandoned after a time-out while
  // the process ends (on Windows it keeps the module loaded otherwise): what
  // it uses stays, and the ending process takes it back.
  if (!platform::AnyWorkerRunning()) ReleaseLastingObjects();
}
