// Faults the module cannot continue from.
#pragma once

#include <cstddef>

enum class RuntimeErrorCode : int {
  kOutOfMemory = 0,       // an allocation failed; reported with the size asked for
  kElementOutOfRange = 1  // an element position outside a BytesArray
};

// Shows a modal error naming the fault and its code, then ends the whole
// process with exit code -1 without running the module's teardown.
[[noreturn]] void RaiseRuntimeError(RuntimeErrorCode code, std::size_t requestedBytes = 0);
