#include "platform/module_hooks.h"

namespace platform {
namespace {

void (*unloadRoutine)() = nullptr;

}  // namespace

void RegisterUnloadRoutine(void (*routine)()) { unloadRoutine = routine; }

void RunUnloadRoutine() {
  void (*routine)() = unloadRoutine;
  unloadRoutine = nullptr;
  if (routine != nullptr) routine();
}

}  // namespace platform
