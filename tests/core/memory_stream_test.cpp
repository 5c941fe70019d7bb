#include "core/memory_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/bytes_operations.h"
#include "core/test_printing.h"

namespace {

BytesArray Record(const std::vector<std::string_view>& elements) {
  BytesArray record(static_cast<int>(elements.size()));
  for (std::size_t i = 0; i < elements.size(); ++i) {
    record.Set(static_cast<int>(i), Bytes(elements[i]));
  }
  return record;
}

void ExpectRecord(const BytesArray& record, const std::vector<std::string_view>& elements) {
  ASSERT_EQ(record.ElementCount(), static_cast<int>(elements.size()));
  for (std::size_t i = 0; i < elements.size(); ++i) {
    EXPECT_EQ(Hex(record.At(static_cast<int>(i)).View()), Hex(elements[i])) << "element " << i;
  }
}

// A stream that is closed at the end of the test.
class Stream {
 public:
  Stream() : handle_(OpenMemoryStream()) {}
  ~Stream() { CloseStream(handle_); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  operator StreamHandle() const { return handle_; }  // NOLINT(google-explicit-constructor)

 private:
  StreamHandle handle_;
};

using namespace std::string_view_literals;

TEST(WriteRecord, ElementsAreLengthPrefixedWithNothingAround) {
  Stream s;
  ASSERT_TRUE(WriteRecord(s, Record({"AB", "", "C"})));
  EXPECT_EQ(Hex(StreamContents(s).View()), Hex("\x02\x00\x00\x00"
                                               "AB"
                                               "\x00\x00\x00\x00"
                                               "\x01\x00\x00\x00"
                                               "C"sv));

  Stream empty;
  ASSERT_TRUE(WriteRecord(empty, BytesArray(7)));
  EXPECT_EQ(StreamContents(empty), Bytes(std::string(28, '\0')));
}

TEST(ReadRecord, RoundTripsAndReadsAsManyElementsAsTheArrayHas) {
  const std::string large(3000, '\x5A');  // spans several buffer steps
  const std::vector<std::string_view> fields = {"http://host/", "GET", "",        "\0\xFF\x80"sv,
                                                large,          "a=1", "\xD5\xE6"};
  Stream s;
  ASSERT_TRUE(WriteRecord(s, Record(fields)));
  ASSERT_TRUE(Rewind(s));
  BytesArray all(7);
  ASSERT_TRUE(ReadRecord(s, all));
  ExpectRecord(all, fields);
  EXPECT_TRUE(AtEnd(s, false));

  ASSERT_TRUE(Rewind(s));
  BytesArray head(3);
  ASSERT_TRUE(ReadRecord(s, head));
  ExpectRecord(head, {fields[0], fields[1], fields[2]});
  BytesArray tail(4);
  ASSERT_TRUE(ReadRecord(s, tail)) << "the position is just past the first three";
  ExpectRecord(tail, {fields[3], fields[4], fields[5], fields[6]});
}

TEST(ReadRecord, ATruncatedRecordFailsWithThePositionAndArrayKept) {
  const struct {
    const char* name;
    std::string_view stream;
  } cases[] = {
      {"six complete elements of seven",
       "\x01\x00\x00\x00"
       "a"
       "\x00\x00\x00\x00"
       "\x00\x00\x00\x00"
       "\x00\x00\x00\x00"
       "\x00\x00\x00\x00"
       "\x00\x00\x00\x00"sv},
      {"a length word cut short", "\x01\x00\x00"sv},
      {"fewer bytes than announced",
       "\x05\x00\x00\x00"
       "abc"sv},
      {"a negative length",
       "\xFF\xFF\xFF\xFF"
       "abc"sv},
  };
  for (const auto& c : cases) {
    Stream s;
    ASSERT_TRUE(WriteRecord(s, Record({"lead"})));
    ASSERT_TRUE(WriteBytes(s, Bytes(c.stream)));
    ASSERT_TRUE(Rewind(s));
    BytesArray lead(1);
    ASSERT_TRUE(ReadRecord(s, lead));

    BytesArray kept = Record({"1", "2", "3", "4", "5", "6", "7"});
    EXPECT_FALSE(ReadRecord(s, kept)) << c.name;
    ExpectRecord(kept, {"1", "2", "3", "4", "5", "6", "7"});
    // The position is back after the lead record: the raw bytes read whole.
    ASSERT_TRUE(WriteRecord(s, Record({"tail"}))) << "written where the failed read began";
    ASSERT_TRUE(Rewind(s));
    BytesArray again(2);
    ASSERT_TRUE(ReadRecord(s, again)) << c.name;
    ExpectRecord(again, {"lead", "tail"});
  }
}

TEST(WriteRecord, AShorterRecordOverwritesALongerOneFromTheStart) {
  Stream s;
  ASSERT_TRUE(WriteRecord(s, Record({"a long first field", "second", "third"})));
  ASSERT_TRUE(Rewind(s));
  ASSERT_TRUE(WriteRecord(s, Record({"x", "", "yz"})));
  ASSERT_TRUE(Rewind(s));
  BytesArray record(3);
  ASSERT_TRUE(ReadRecord(s, record));
  ExpectRecord(record, {"x", "", "yz"});
  EXPECT_FALSE(AtEnd(s, false)) << "the stream never shrinks: the old bytes remain behind";
}

// An element filled in place piece by piece, then the rest of its record
// behind it, lie in the stream exactly as the whole record written at once.
TEST(WriteElementFrom, AnElementFilledInPiecesIsLaidOutLikeAWrittenOne) {
  std::string body;
  for (int i = 0; i < 5000; ++i) body += static_cast<char>(i % 251);
  for (const std::string_view element : {std::string_view(body), ""sv}) {
    Stream s;
    ASSERT_TRUE(WriteRecord(s, Record({"an older, longer record", "in the stream"})));
    ASSERT_TRUE(Rewind(s));
    std::size_t delivered = 0;
    std::vector<std::size_t> offered;
    ASSERT_TRUE(WriteElementFrom(s, 2048, [&](char* buffer, std::size_t size) {
      offered.push_back(size);
      const std::size_t count = std::min<std::size_t>({size, 700, element.size() - delivered});
      element.copy(buffer, count, delivered);
      delivered += count;
      return count;
    }));
    ASSERT_TRUE(WriteRecordFrom(s, Record({"skipped", "after", ""}), 1));
    EXPECT_EQ(offered, std::vector<std::size_t>(offered.size(), 2048));

    Stream whole;
    ASSERT_TRUE(WriteRecord(whole, Record({element, "after", ""})));
    const Bytes expected = StreamContents(whole);
    EXPECT_EQ(Hex(BytesLeft(StreamContents(s), BytesLength(expected)).View()), Hex(expected.View()))
        << element.size() << " bytes";
  }
}

TEST(MemoryStream, AHandleThatNamesNoStreamChangesNothing) {
  const StreamHandle closed = OpenMemoryStream();
  ASSERT_TRUE(WriteText(closed, "abc"));
  CloseStream(closed);
  CloseStream(closed);  // a second close finds nothing
  for (StreamHandle h : {closed, StreamHandle{0}, StreamHandle{-1}}) {
    BytesArray record = Record({"kept"});
    EXPECT_FALSE(WriteRecord(h, record));
    EXPECT_FALSE(ReadRecord(h, record));
    ExpectRecord(record, {"kept"});
    EXPECT_FALSE(WriteText(h, "x"));
    EXPECT_FALSE(WriteBytes(h, Bytes("x")));
    EXPECT_FALSE(Rewind(h));
    EXPECT_EQ(Str(ReadLine(h)), "");
    EXPECT_TRUE(AtEnd(h, false));
    EXPECT_TRUE(StreamContents(h).IsEmpty());
  }
  EXPECT_NE(OpenMemoryStream(), closed) << "handles are not reused";
}

TEST(MemoryStream, StreamsOpenAndCloseFromTwoThreadsAtOnce) {
  // Each thread holds many streams open at once, so the registry grows and
  // shrinks under both of them.
  const auto useStreams = [](char mark) {
    for (int round = 0; round < 20; ++round) {
      std::vector<StreamHandle> open;
      for (int i = 0; i < 300; ++i) {
        open.push_back(OpenMemoryStream());
        EXPECT_TRUE(WriteText(open.back(), Text(std::string(1 + i % 7, mark))));
      }
      for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(StreamContents(open[i]), Bytes(std::string(1 + i % 7, mark)));
        CloseStream(open[i]);
      }
    }
  };
  std::thread worker(useStreams, 'w');
  useStreams('c');
  worker.join();
}

std::vector<std::string> AllLines(std::string_view contents) {
  Stream s;
  EXPECT_TRUE(WriteBytes(s, Bytes(contents)));
  EXPECT_TRUE(Rewind(s));
  std::vector<std::string> lines;
  while (!AtEnd(s, false) && lines.size() < 10) lines.emplace_back(ReadLine(s).View());
  EXPECT_EQ(Str(ReadLine(s)), "") << "a read at the end yields the empty text";
  return lines;
}

TEST(ReadLine, LineEnds) {
  using Lines = std::vector<std::string>;
  const std::string longLine = std::string(1500, 'h') + "\xB0\xA1";  // longer than a read chunk
  const struct {
    const char* name;
    std::string contents;
    Lines expected;
  } cases[] = {
      {"CR LF pairs and an empty line", "ab\r\ncd\r\n\r\n", {"ab", "cd", ""}},
      {"a last line without LF", "ab\ncd", {"ab", "cd"}},
      {"a lone CR stays in the line", "a\rb\n", {"a\rb"}},
      {"a CR before the end of the stream is dropped", "ab\r", {"ab"}},
      {"LF as the second byte of a character", "\xB0\x0A\x41\x0A", {"\xB0\x0A\x41"}},
      {"a lead byte ending the stream", "a\xB0", {"a\xB0"}},
      {"a line longer than a chunk", longLine + "\n" + "z", {longLine, "z"}},
  };
  for (const auto& c : cases) EXPECT_EQ(AllLines(c.contents), c.expected) << c.name;
}

TEST(ReadLine, ZeroAndEndOfFileBytesEndTheLineAndStayUnread) {
  for (char stopper : {'\0', '\x1A'}) {
    Stream s;
    ASSERT_TRUE(WriteBytes(s, Bytes(std::string("ab") + stopper + "cd\n")));
    ASSERT_TRUE(Rewind(s));
    EXPECT_EQ(Str(ReadLine(s)), "ab");
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_TRUE(AtEnd(s, true)) << "text mode counts the byte as the end";
      EXPECT_FALSE(AtEnd(s, false));
      EXPECT_EQ(Str(ReadLine(s)), "") << "the position does not move";
    }
    EXPECT_TRUE(SkipByte(s));
    EXPECT_EQ(Str(ReadLine(s)), "cd") << "stepping over the byte reads on";
    EXPECT_FALSE(SkipByte(s)) << "nothing to step over at the end";
  }
  Stream s;
  ASSERT_TRUE(WriteBytes(s, Bytes("\xB0\0x\n"sv)));
  ASSERT_TRUE(Rewind(s));
  EXPECT_EQ(Str(ReadLine(s)), "\xB0") << "a zero byte ends the line even after a lead byte";
  EXPECT_TRUE(AtEnd(s, true));
}

}  // namespace
