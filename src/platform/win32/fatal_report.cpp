#include "platform/fatal_report.h"

#include <windows.h>

namespace platform {

void ReportFatalErrorAndExit(const char* title, const char* message) {
  MessageBoxA(nullptr, message, title, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
  // TerminateProcess, unlike ExitProcess, detaches no library, so the module's
  // teardown does not run.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(-1));
  for (;;) {
  }
}

}  // namespace platform
