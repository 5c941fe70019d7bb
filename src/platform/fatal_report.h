// Fatal fault report: the one way the module ends the process.
#pragma once

namespace platform {

// Shows `message` in a modal error box without owner window and, once the user
// has closed it, ends the whole process with exit code -1. The module's unload
// routine does not run: the process is gone before any teardown could start.
[[noreturn]] void ReportFatalErrorAndExit(const char* title, const char* message);

}  // namespace platform
