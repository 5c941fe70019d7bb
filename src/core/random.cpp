#include "core/random.h"

#include <algorithm>
#include <atomic>

#include "core/system_services.h"

namespace {

thread_local std::uint32_t generatorState = 1;

// Read and advanced without a lock on purpose: a lost update only changes a
// seed. Atomic so that the two threads never race on the word itself.
std::atomic<std::uint32_t> seedingCounter{0};

// One step of the C library's generator: a value from 0 to 32767.
int Draw() {
  generatorState = generatorState * 214013u + 2531011u;
  return static_cast<int>((generatorState >> 16) & 0x7FFF);
}

}  // namespace

std::uint32_t random_detail::SeedFromUptime(std::uint32_t uptimeMs) {
  const std::uint32_t counter = seedingCounter.load(std::memory_order_relaxed);
  const std::uint32_t state = uptimeMs + counter;
  generatorState = state;
  seedingCounter.store(counter + (state & 0xFF) + 100, std::memory_order_relaxed);
  return state;
}

void SeedRandom(std::optional<std::int32_t> seed) {
  if (seed.has_value()) {
    generatorState = static_cast<std::uint32_t>(*seed);
  } else {
    random_detail::SeedFromUptime(UptimeMs());
  }
}

int RandomNumber(std::optional<int> low, std::optional<int> high) {
  const int a = std::max(low.value_or(0), 0);
  const int b = std::max(high.value_or(0x7FFFFFFF), 0);
  const int lo = std::min(a, b);
  const int hi = std::max(a, b);
  if (lo == hi) return lo;
  const int width = std::min(hi - lo, 0x7FFFFFFE);
  return lo + Draw() % (width + 1);
}
