// The URL and text-slicing helpers and the text-cutting primitives on
// arbitrary texts, with positions and counts taken from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/text_cutting.h"
#include "web/url_helpers.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

int Sign(int v) { return (v > 0) - (v < 0); }

Text TakeText(FuzzedDataProvider& input) { return Text(input.ConsumeRandomLengthString(256)); }

// A position or count anywhere in the int range, edges included.
int TakeNumber(FuzzedDataProvider& input) { return input.ConsumeIntegral<int>(); }

template <typename T>
std::optional<T> TakeOptional(FuzzedDataProvider& input, T value) {
  return input.ConsumeBool() ? std::optional<T>(value) : std::nullopt;
}

void CutUrl(const Text& url) {
  (void)UrlHost(url);
  (void)UrlPath(url);
  (void)UrlPort(url);
}

void SliceText(FuzzedDataProvider& input, const Text& t) {
  const Text start = TakeText(input);
  const Text end = TakeText(input);
  const std::optional<int> position = TakeOptional(input, TakeNumber(input));
  const std::optional<bool> flag = TakeOptional(input, input.ConsumeBool());
  Check(TextBetween(t, start, end, position, flag).Size() <= t.Size());
  Check(TextBefore(t, start, position, flag).Size() <= t.Size());
}

void CutText(FuzzedDataProvider& input, const Text& t, const Text& other) {
  const long long length = TextLength(t);
  const int n = TakeNumber(input);
  const int start = TakeNumber(input);
  const long long kept = std::clamp<long long>(n, 0, length);
  Check(TextLength(TextLeft(t, n)) == kept);
  Check(TextLength(TextRight(t, n)) == kept);
  Check(TextLength(TextMid(t, start, n)) <= kept);
  const std::optional<Text> inserted = TakeOptional(input, other);
  const Text replaced = ReplaceTextAt(t, start, n, inserted);
  Check(TextLength(replaced) <= length + TextLength(other));
  Check(TrimBothEnds(t).Size() <= t.Size());
  Check(ToLowerCase(t).Size() == t.Size());
  const bool caseSensitive = input.ConsumeBool();
  Check(Sign(CompareText(t, other, caseSensitive)) == -Sign(CompareText(other, t, caseSensitive)));
  Check(TextLength(BlankText(input.ConsumeIntegralInRange(-2, 1024))) <= 1024);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Text t = TakeText(input);
  const Text other = TakeText(input);
  CutUrl(t);
  SliceText(input, t);
  CutText(input, t, other);
  return 0;
}
