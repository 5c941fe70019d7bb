#include "core/lasting_objects.h"

#include <atomic>
#include <thread>
#include <type_traits>

namespace {

struct Kept {
  void (*release)(void*);
  void* object;
};

// A handful of objects use this; more than fit are simply never released.
constexpr int kMostKept = 16;

// Plain static storage with nothing to destroy at exit, so the list outlasts
// every exit-time destructor; a flag rather than a mutex for the same reason
// (a mutex has a destructor on some platforms). It is held only for a few
// instructions.
std::atomic_flag keptLock = ATOMIC_FLAG_INIT;
Kept kept[kMostKept];
int keptCount = 0;
static_assert(std::is_trivially_destructible_v<std::atomic_flag>);

class KeptLock {
 public:
  KeptLock() {
    while (keptLock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  ~KeptLock() { keptLock.clear(std::memory_order_release); }
  KeptLock(const KeptLock&) = delete;
  KeptLock& operator=(const KeptLock&) = delete;
};

}  // namespace

void KeepUntilRelease(void (*release)(void*), void* object) {
  const KeptLock lock;
  if (keptCount < kMostKept) kept[keptCount++] = {release, object};
}

void ReleaseLastingObjects() {
  for (;;) {
    Kept latest{};
    {
      const KeptLock lock;
      if (keptCount == 0) return;
      latest = kept[--keptCount];
    }
    latest.release(latest.object);
  }
}
