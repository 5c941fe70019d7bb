#include "core/runtime_error.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <new>
#include <string>

#include "core/text.h"

namespace {

#if defined(_WIN32)
const auto kEndedByFatalReport = testing::ExitedWithCode(-1);
// The Windows report goes to a message box, not to the error stream.
std::string Report(const std::string&) { return ""; }
#else
const auto kEndedByFatalReport = testing::ExitedWithCode(255);
std::string Report(const std::string& expected) { return expected; }
#endif

TEST(RuntimeErrorDeathTest, EndsTheProcessWithMinusOneAndNamesTheFault) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RaiseRuntimeError(RuntimeErrorCode::kElementOutOfRange), kEndedByFatalReport,
              Report("Runtime error 1"));
  EXPECT_EXIT(RaiseRuntimeError(RuntimeErrorCode::kOutOfMemory, 1234), kEndedByFatalReport,
              Report("Runtime error 0.*1234 bytes"));
}

TEST(RuntimeErrorDeathTest, AnExhaustedHeapIsReportedWithTheSizeAskedFor) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::size_t huge = std::numeric_limits<std::size_t>::max() / 2;
  EXPECT_EXIT(HeapAllocator<char>().allocate(huge), kEndedByFatalReport,
              Report("Runtime error 0.*" + std::to_string(huge) + " bytes"));
}

TEST(SoftAllocationFailure, AnExhaustedHeapThrowsToTheCodeThatOpenedTheScope) {
  const std::size_t huge = std::numeric_limits<std::size_t>::max() / 2;
  for (int scope = 0; scope < 2; ++scope) {  // the count is restored on the way out
    SoftAllocationFailure softly;
    EXPECT_THROW(HeapAllocator<char>().allocate(huge), std::bad_alloc);
  }
  EXPECT_EQ(heap_detail::softFailureScopes, 0);
}

}  // namespace
