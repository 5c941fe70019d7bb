// The pseudo-random generator: the platform C library's linear congruential
// generator, one state per thread (1 until the thread seeds it), and a
// module-wide counter that keeps two seedings in one millisecond apart.
#pragma once

#include <cstdint>
#include <optional>

// Sets the calling thread's state to `seed`; without one, to the uptime in
// milliseconds plus the seeding counter.
void SeedRandom(std::optional<std::int32_t> seed = std::nullopt);

// A draw in the closed range of the two bounds (in either order; negative
// bounds count as 0; low defaults to 0, high to 0x7FFFFFFF). Equal bounds give
// that bound without a draw. A draw is at most 32767, so a range wider than
// 32768 values only reaches its first 32768.
int RandomNumber(std::optional<int> low = std::nullopt, std::optional<int> high = std::nullopt);

namespace random_detail {
// The seeding without a seed, at uptime `uptimeMs`: sets the calling thread's
// state and advances the counter. Returns the state set.
std::uint32_t SeedFromUptime(std::uint32_t uptimeMs);
}  // namespace random_detail
