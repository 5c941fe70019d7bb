// Converting a 16 MiB downloaded page to GBK, from UTF-8 and from Big5, beside
// one direct iconv call over the same bytes as the floor to compare with.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <string_view>

#include "codepage/conversions.h"

namespace {

constexpr std::size_t kPageBytes = std::size_t{16} << 20;

// One line of a riddle page in traditional characters, in UTF-8:
// "<li>甚麼東西越洗越髒？答：水。</li>\n".
constexpr std::string_view kUtf8Line =
    "<li>\xE7\x94\x9A\xE9\xBA\xBC\xE6\x9D\xB1\xE8\xA5\xBF\xE8\xB6\x8A\xE6\xB4\x97\xE8\xB6\x8A\xE9"
    "\xAB\x92\xEF\xBC\x9F\xE7\xAD\x94\xEF\xBC\x9A\xE6\xB0\xB4\xE3\x80\x82</li>\n";

// The whole of `input` through one iconv call.
std::string Iconv(const char* to, const char* from, std::string_view input) {
  iconv_t converter = iconv_open(to, from);
  std::string out(input.size() * 2, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* next = out.data();
  std::size_t outLeft = out.size();
  iconv(converter, &in, &inLeft, &next, &outLeft);
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

const std::string& Utf8Page() {
  static const std::string page = [] {
    std::string lines;
    while (lines.size() + kUtf8Line.size() <= kPageBytes) lines += kUtf8Line;
    return lines;
  }();
  return page;
}

const std::string& Big5Page() {
  static const std::string page = Iconv("CP950", "UTF-8", Utf8Page());
  return page;
}

void BM_ConvertUtf8ToAnsi(benchmark::State& state) {
  const Text page(Utf8Page());
  for (auto _ : state) benchmark::DoNotOptimize(ConvertUtf8ToAnsi(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.Size()));
}

void BM_IconvUtf8ToGbk(benchmark::State& state) {
  const std::string& page = Utf8Page();
  for (auto _ : state) benchmark::DoNotOptimize(Iconv("CP936", "UTF-8", page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

void BM_ConvertBig5ToGbk(benchmark::State& state) {
  const Text page(Big5Page());
  for (auto _ : state) benchmark::DoNotOptimize(ConvertBig5ToGbk(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.Size()));
}

void BM_IconvBig5ToGbk(benchmark::State& state) {
  const std::string& page = Big5Page();
  for (auto _ : state) benchmark::DoNotOptimize(Iconv("CP936", "CP950", page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

BENCHMARK(BM_ConvertUtf8ToAnsi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvUtf8ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertBig5ToGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IconvBig5ToGbk)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
