// Load and unload hooks of the shared object.
#include "platform/module_hooks.h"

namespace {

__attribute__((constructor)) void OnLoad() { ModuleStartup(); }

__attribute__((destructor)) void OnUnload() { platform::RunUnloadRoutine(); }

}  // namespace
