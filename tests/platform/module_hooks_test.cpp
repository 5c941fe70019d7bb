#include "platform/module_hooks.h"

#include <gtest/gtest.h>

namespace {

int teardowns = 0;
void CountTeardown() { ++teardowns; }

TEST(ModuleHooks, TheUnloadRoutineRunsOnceAndOnlyWhenRegistered) {
  platform::RunUnloadRoutine();  // nothing registered: nothing runs
  platform::RegisterUnloadRoutine(CountTeardown);
  platform::RunUnloadRoutine();
  platform::RunUnloadRoutine();
  EXPECT_EQ(teardowns, 1);
}

}  // namespace
