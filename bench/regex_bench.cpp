// The riddle pattern over a GBK riddle page through the regular-expression
// object, reading both groups of every match, beside a bare PCRE2-JIT scan of
// the same page already in UTF-16 as the floor to compare with.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <string>
#include <string_view>

#include "codepage/conversions.h"
#include "regex/regex_object.h"

namespace {

// "答案：" and "点击显示答案" in GBK.
#define ANSWER_LABEL "\xB4\xF0\xB0\xB8\xA3\xBA"
#define SHOW_ANSWER "\xB5\xE3\xBB\xF7\xCF\xD4\xCA\xBE\xB4\xF0\xB0\xB8"

constexpr char kRiddlePattern[] =
    "<li><span class=\"table_left\">(.{1,}?)</span><span class=\"table_right\"><a "
    "href=\"javascript:;\" class=\"answer\" onclick=\"MM_popupMsg\\('" ANSWER_LABEL
    "(.{1,}?)'\\)\">" SHOW_ANSWER "</a></span></li>";

// One riddle line: question "什么门永远关不上？", answer "球门".
constexpr std::string_view kRiddleLine =
    "<li><span class=\"table_left\">\xCA\xB2\xC3\xB4\xC3\xC5\xD3\xC0\xD4\xB6\xB9\xD8\xB2\xBB\xC9"
    "\xCF\xA3\xBF</span><span class=\"table_right\"><a href=\"javascript:;\" class=\"answer\" "
    "onclick=\"MM_popupMsg('" ANSWER_LABEL "\xC7\xF2\xC3\xC5')\">" SHOW_ANSWER
    "</a></span></li>\r\n";

std::string Page(std::size_t bytes) {
  std::string page;
  while (page.size() + kRiddleLine.size() <= bytes) page += kRiddleLine;
  return page;
}

std::u16string Utf16(const Text& gbk) { return MultiByteToUnits(gbk, platform::kCodePageGbk); }

void RegexObjectScan(benchmark::State& state) {
  const std::string page = Page(static_cast<std::size_t>(state.range(0)));
  const Text subject(page);
  for (auto _ : state) {
    RegexObject regex;
    regex.RunPattern(kRiddlePattern, subject);
    const int count = regex.MatchCount();
    for (int k = 1; k <= count; ++k) {
      benchmark::DoNotOptimize(regex.SubMatchText(k, 1));
      benchmark::DoNotOptimize(regex.SubMatchText(k, 2));
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// The bare scan; with `convertEachTime`, the page is also converted to UTF-16
// in every round by the module's own conversion, as the object must do.
void BarePcre2Scan(benchmark::State& state, bool convertEachTime) {
  const std::string page = Page(static_cast<std::size_t>(state.range(0)));
  const Text gbk(page);
  std::u16string subject = Utf16(gbk);
  const std::u16string pattern = Utf16(Text(kRiddlePattern));
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                    PCRE2_UTF | PCRE2_CASELESS | PCRE2_MULTILINE, &error, &errorOffset, nullptr);
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  for (auto _ : state) {
    if (convertEachTime) subject = Utf16(gbk);
    std::size_t from = 0;
    while (pcre2_jit_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), from,
                           0, data, nullptr) > 0) {
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
      for (int g = 1; g <= 2; ++g) {
        benchmark::DoNotOptimize(
            subject.substr(ovector[2 * g], ovector[2 * g + 1] - ovector[2 * g]));
      }
      from = ovector[1];
    }
  }
  pcre2_match_data_free(data);
  pcre2_code_free(code);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

BENCHMARK(RegexObjectScan)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BarePcre2Scan, utf16_ready, false)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BarePcre2Scan, converted_each_time, true)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
