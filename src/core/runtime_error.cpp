#include "core/runtime_error.h"

#include <cstdio>

#include "platform/fatal_report.h"

void RaiseRuntimeError(RuntimeErrorCode code, std::size_t requestedBytes) {
  char message[160];
  if (code == RuntimeErrorCode::kOutOfMemory) {
    std::snprintf(message, sizeof message, "Runtime error 0: out of memory (%zu bytes requested).",
                  requestedBytes);
  } else {
    std::snprintf(message, sizeof message,
                  "Runtime error %d: element position outside the byte-array array.",
                  static_cast<int>(code));
  }
  platform::ReportFatalErrorAndExit("tamrek.cqp.dll", message);
}
