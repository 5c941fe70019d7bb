// The in-memory stream's record reader and line reader over arbitrary bytes.
//
// Input: the first byte chooses how many elements a record has (0 to 7); the
// rest is the stream's contents, read first as records until one is
// truncated, then from the start as lines the way the cookie scan reads them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/bytes_array.h"
#include "core/memory_stream.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// Reads records of `elements` elements until one fails; each read record is
// a part of the contents, lengths and elements together.
void ReadRecords(StreamHandle stream, int elements, std::size_t contentsSize) {
  std::size_t consumed = 0;
  for (;;) {
    BytesArray record(elements);
    if (!ReadRecord(stream, record)) break;
    Check(record.ElementCount() == elements);
    for (int i = 0; i < elements; ++i) consumed += 4 + record.At(i).Size();
    Check(consumed <= contentsSize);
    // A record without elements reads nothing: reading again would not end.
    if (elements == 0 || AtEnd(stream, false)) break;
  }
}

// Reads every line; none is longer than the contents, and every read moves on.
void ReadLines(StreamHandle stream, std::size_t contentsSize) {
  Rewind(stream);
  std::size_t lines = 0;
  while (!AtEnd(stream, false)) {
    const Text line = ReadLine(stream);
    Check(line.Size() <= contentsSize);
    if (AtEnd(stream, true)) SkipByte(stream);
    Check(++lines <= contentsSize + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int elements = data[0] % 8;
  const Bytes contents(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  const StreamHandle stream = OpenMemoryStream();
  Check(WriteBytes(stream, contents));
  Check(Rewind(stream));
  ReadRecords(stream, elements, contents.Size());
  ReadLines(stream, contents.Size());
  Check(StreamContents(stream) == contents);
  CloseStream(stream);
  return 0;
}
