// The DLL entry point: process attach and detach.
#include <windows.h>

#include "platform/module_hooks.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    // The module has no use for per-thread attach and detach notifications.
    DisableThreadLibraryCalls(module);
    return ModuleStartup() == 1 ? TRUE : FALSE;
  }
  if (reason == DLL_PROCESS_DETACH) platform::RunUnloadRoutine();
  return TRUE;
}
