#include "platform/fatal_report.h"

#include <unistd.h>

#include <cstdio>

namespace platform {

void ReportFatalErrorAndExit(const char* title, const char* message) {
  std::fprintf(stderr, "%s: %s\n", title, message);
  std::fflush(stderr);
  // _exit skips the unload hooks and every other exit handler, as the report requires.
  _exit(-1);
}

}  // namespace platform
