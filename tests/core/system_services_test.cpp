#include "core/system_services.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "core/random.h"
#include "platform/message_queue.h"

namespace {

// Draws the C library's raw values: a range of 32768 values maps a draw to itself.
int RawDraw() { return RandomNumber(0, 32767); }

TEST(Random, FollowsTheCLibrarySequencePerThread) {
  SeedRandom(1);
  const int fromOne[] = {41, 18467, 6334, 26500, 19169};
  for (int expected : fromOne) EXPECT_EQ(RawDraw(), expected);

  SeedRandom(12345);
  const int fromSeed[] = {7584, 19164, 25795};
  for (int expected : fromSeed) EXPECT_EQ(RawDraw(), expected);
}

TEST(Random, BoundsAreOrderedClampedAndIncluded) {
  SeedRandom(1);
  EXPECT_EQ(RandomNumber(5, 5), 5);
  EXPECT_EQ(RawDraw(), 41) << "equal bounds do not draw";

  SeedRandom(7);
  for (int i = 0; i < 2000; ++i) {
    const int page = RandomNumber(1, 70);
    ASSERT_GE(page, 1);
    ASSERT_LE(page, 70);
    const int swapped = RandomNumber(70, 1);
    ASSERT_GE(swapped, 1);
    ASSERT_LE(swapped, 70);
    const int clamped = RandomNumber(-3, 2);
    ASSERT_GE(clamped, 0);
    ASSERT_LE(clamped, 2);
  }
  EXPECT_EQ(RandomNumber(-4, -9), 0) << "both bounds count as 0";
  SeedRandom(1);
  EXPECT_EQ(RandomNumber(), 41) << "the default range is 0 to 0x7FFFFFFF";
  SeedRandom(1);
  EXPECT_EQ(RandomNumber(70, std::nullopt), 70 + 41 % (0x7FFFFFFF - 70 + 1));
}

TEST(Random, TwoSeedingsInOneMillisecondDiffer) {
  const std::uint32_t first = random_detail::SeedFromUptime(5000);
  const std::uint32_t second = random_detail::SeedFromUptime(5000);
  EXPECT_GE(second - first, 100u);
  EXPECT_LE(second - first, 355u);
  EXPECT_EQ(second - first, (first & 0xFF) + 100);
}

TEST(Random, SeedingAffectsOnlyTheCallingThread) {
  SeedRandom(1);
  std::thread other([] {
    EXPECT_EQ(RawDraw(), 41) << "a new thread starts at state 1";
    SeedRandom(99);
  });
  other.join();
  EXPECT_EQ(RawDraw(), 41);
}

TEST(ProcessEvents, DispatchesEveryWaitingMessageAndLeavesTheQuitMessage) {
  ProcessEvents();  // returns at once on an empty queue
  std::string order;
  platform::PostHandlerMessage([&order] {
    order += 'a';
    platform::PostHandlerMessage([&order] { order += 'c'; });
  });
  platform::PostHandlerMessage([&order] { order += 'b'; });
  platform::PostQuit();
  ProcessEvents();
  EXPECT_EQ(order, "abc") << "a message posted while pumping is dispatched too";
  ProcessEvents();
  EXPECT_EQ(order, "abc");
  EXPECT_TRUE(platform::TakeQuitMessage()) << "the quit message stays in the queue";
  EXPECT_FALSE(platform::TakeQuitMessage());
}

TEST(UptimeMs, AdvancesWithTheClock) {
  const std::uint32_t before = UptimeMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::uint32_t elapsed = UptimeMs() - before;  // wraps like the tick count
  EXPECT_GE(elapsed, 15u);
  EXPECT_LT(elapsed, 10000u);
}

}  // namespace
