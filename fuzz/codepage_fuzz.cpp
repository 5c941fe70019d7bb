// Every code-page conversion on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codepage/conversions.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

constexpr int kCodePages[] = {platform::kCodePageAnsi, platform::kCodePageGbk,
                              platform::kCodePageBig5, platform::kCodePageUtf8};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const Text text(input);
  const Bytes bytes(input);
  (void)ConvertUtf8ToAnsi(text);
  (void)ConvertBig5ToGbk(text);
  (void)Big5ToGbkText(text);
  Check(MapToSimplified(text).Size() == text.Size());
  for (const int codePage : kCodePages) {
    const Bytes utf16 = MultiByteToUtf16(text, codePage);
    Check(utf16.Size() % 2 == 0);
    (void)Utf16ToMultiByte(utf16, codePage);
    (void)Utf16ToMultiByte(bytes, codePage);
  }
  const int n = size == 0 ? 0 : static_cast<std::int8_t>(data[0]);
  Check(RepeatZeroByte(n).Size() == static_cast<std::size_t>(n > 0 ? n : 0));
  Check(RepeatBlank(n).Size() == static_cast<std::size_t>(n > 0 ? n : 0));
  return 0;
}
