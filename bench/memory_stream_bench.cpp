// The stream's cost on the sizes a web exchange can reach: a seven-field
// record whose body field is 64 MiB, and 64 MiB of header text read line by
// line, each beside a plain copy of the same number of bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/bytes_array.h"
#include "core/memory_stream.h"

namespace {

constexpr std::size_t kLargeSize = 64u << 20;

BytesArray SevenFieldRecord() {
  BytesArray record(7);
  record.Set(0, Bytes("http://riddles.example/jzw/12.htm"));
  record.Set(1, Bytes("GET"));
  record.Set(3, Bytes("Accept: */*\r\n"));
  record.Set(4, Bytes(std::string(kLargeSize, '\x5A')));
  record.Set(6, Bytes("\xD5\xE6"));  // 真
  return record;
}

std::string HeaderText() {
  const std::string line = "Set-Cookie: session=0123456789abcdef; path=/; HttpOnly\r\n";
  std::string text;
  text.reserve(kLargeSize + line.size());
  while (text.size() < kLargeSize) text += line;
  return text;
}

void WriteAndReadRecord(benchmark::State& state) {
  const BytesArray record = SevenFieldRecord();
  for (auto _ : state) {
    const StreamHandle stream = OpenMemoryStream();
    WriteRecord(stream, record);
    Rewind(stream);
    BytesArray back(7);
    ReadRecord(stream, back);
    benchmark::DoNotOptimize(back.At(4).Data());
    CloseStream(stream);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargeSize * 2);
}
BENCHMARK(WriteAndReadRecord)->Unit(benchmark::kMillisecond);

void ReadHeaderLines(benchmark::State& state) {
  const StreamHandle stream = OpenMemoryStream();
  WriteText(stream, Text(HeaderText()));
  std::size_t lines = 0;
  for (auto _ : state) {
    Rewind(stream);
    while (!AtEnd(stream, false)) {
      benchmark::DoNotOptimize(ReadLine(stream).CStr());
      ++lines;
    }
  }
  CloseStream(stream);
  state.counters["lines"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kAvgIterations);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargeSize);
}
BENCHMARK(ReadHeaderLines)->Unit(benchmark::kMillisecond);

// The floor: copying the same 64 MiB once.
void PlainCopy(benchmark::State& state) {
  const std::string source(kLargeSize, '\x5A');
  std::string target(kLargeSize, '\0');
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kLargeSize);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargeSize);
}
BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond);

// The same copy into memory the process has not touched yet, as every write
// into a new stream and every element read back is: the first touch of each
// page is part of the price.
void CopyIntoFreshMemory(benchmark::State& state) {
  const std::string source(kLargeSize, '\x5A');
  for (auto _ : state) {
    void* target = std::malloc(kLargeSize);
    std::memcpy(target, source.data(), kLargeSize);
    benchmark::DoNotOptimize(target);
    std::free(target);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargeSize);
}
BENCHMARK(CopyIntoFreshMemory)->Unit(benchmark::kMillisecond);

}  // namespace
