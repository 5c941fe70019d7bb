#include "core/lasting_objects.h"

#include <mutex>
#include <type_traits>

namespace {

struct Kept {
  void (*release)(void*);
  void* object;
};

// A handful of objects use this; more than fit are simply never released.
constexpr int kMostKept = 16;

// Plain static storage with nothing to destroy at exit, so the list outlasts
// every exit-time destructor.
std::mutex keptMutex;
Kept kept[kMostKept];
int keptCount = 0;
static_assert(std::is_trivially_destructible_v<std::mutex>);

}  // namespace

void KeepUntilRelease(void (*release)(void*), void* object) {
  const std::lock_guard<std::mutex> lock(keptMutex);
  if (keptCount < kMostKept) kept[keptCount++] = {release, object};
}

void ReleaseLastingObjects() {
  for (;;) {
    Kept latest{};
    {
      const std::lock_guard<std::mutex> lock(keptMutex);
      if (keptCount == 0) return;
      latest = kept[--keptCount];
    }
    latest.release(latest.object);
  }
}
