// Runs one piece of work on two threads at once, for the tests that check a
// shared object gives each thread the right results.
#pragma once

#include <array>
#include <functional>
#include <thread>

// Runs `work(wrong)` on two threads at once, each counting its own wrong
// results; returns the two counts.
template <typename Work>
std::array<int, 2> WrongCountsOnTwoThreads(const Work& work) {
  std::array<int, 2> wrong{};
  std::thread first(work, std::ref(wrong[0]));
  std::thread second(work, std::ref(wrong[1]));
  first.join();
  second.join();
  return wrong;
}
