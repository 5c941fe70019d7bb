// Module start-up and teardown: how the platform ties the module's own
// routines to loading and unloading of the library.
#pragma once

// The module's start-up routine. The platform's load hook calls it exactly
// once, when the library is loaded and before either export can be called.
int ModuleStartup();

namespace platform {

// Registers the routine that runs when the library is unloaded (released by
// the host, or the host process ending).
void RegisterUnloadRoutine(void (*routine)());

// Called by the platform's unload hook: runs the registered routine, at most
// once however often it is called.
void RunUnloadRoutine();

}  // namespace platform
