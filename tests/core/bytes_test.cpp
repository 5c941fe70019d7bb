#include <gtest/gtest.h>

#include <string_view>

#include "core/bytes_array.h"
#include "core/bytes_operations.h"

namespace {

Bytes B(std::string_view bytes) { return Bytes(bytes); }

TEST(BytesOperations, EmptyResultsAndClampedCounts) {
  EXPECT_TRUE(BytesLeft(B("abc"), -1).IsEmpty());
  EXPECT_TRUE(BytesLeft(B("abc"), 0).IsEmpty());
  EXPECT_EQ(BytesLeft(B("abc"), 9), B("abc"));
  EXPECT_EQ(BytesLeft(B(std::string_view("a\0c", 3)), 2), B(std::string_view("a\0", 2)));
  EXPECT_TRUE(BlankBytes(0).IsEmpty());
  EXPECT_EQ(BlankBytes(3), B(std::string_view("\0\0\0", 3)));
  EXPECT_TRUE(ConcatBytes(Bytes(), Bytes()).IsEmpty());
  EXPECT_EQ(ConcatBytes(B("a"), Bytes(), B(std::string_view("\0b", 2))),
            B(std::string_view("a\0b", 3)));
  EXPECT_EQ(ToBytes("ab"), B("ab"));
  EXPECT_TRUE(ToBytes("").IsEmpty());
  EXPECT_EQ(BytesLength(B(std::string_view("\0\0", 2))), 2);
}

TEST(BytesOperations, EqualityComparesLengthThenBytes) {
  EXPECT_TRUE(BytesEquals(Bytes(), B("")));
  EXPECT_FALSE(BytesEquals(B("a"), B(std::string_view("a\0", 2))));
  EXPECT_FALSE(BytesEquals(B("ab"), B("ac")));
  EXPECT_TRUE(BytesEquals(B("\xFF"), B("\xFF")));
}

TEST(BytesArray, ResizeKeepsOrDropsElements) {
  BytesArray a(3);
  a.Set(0, B("x"));
  a.Set(2, B("z"));
  a.Resize(2, true);
  ASSERT_EQ(a.ElementCount(), 2);
  EXPECT_EQ(a.At(0), B("x"));
  a.Resize(4, true);
  EXPECT_EQ(a.At(0), B("x"));
  EXPECT_TRUE(a.At(3).IsEmpty());
  a.Resize(4, false);
  EXPECT_TRUE(a.At(0).IsEmpty());
  EXPECT_EQ(BytesArray(-2).ElementCount(), 0);
}

TEST(BytesArrayDeathTest, APositionOutsideTheArrayIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#if defined(_WIN32)
  const auto endedByFatalReport = testing::ExitedWithCode(-1);
  const char* report = "";
#else
  const auto endedByFatalReport = testing::ExitedWithCode(255);
  const char* report = "Runtime error 1";
#endif
  BytesArray a(2);
  EXPECT_EXIT(a.At(2), endedByFatalReport, report);
  EXPECT_EXIT(a.Set(-1, B("x")), endedByFatalReport, report);
}

}  // namespace
