// The riddle pattern run by RegexObject over an arbitrary page, reading every
// match and every group with its position, one past either end included.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/riddle_source.h"
#include "regex/regex_object.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// A position lies in the page, or is -2 for a text the page does not hold.
void CheckPosition(int position, const Text& page) {
  Check(position >= -2 && position <= static_cast<int>(page.Size()));
}

void ReadMatch(const RegexObject& riddles, int match, int groups, const Text& page) {
  int position = 0;
  Check(riddles.MatchText(match, &position).Size() <= page.Size());
  CheckPosition(position, page);
  for (int group = 0; group <= groups + 1; ++group) {
    position = 0;
    Check(riddles.SubMatchText(match, group, &position).Size() <= page.Size());
    CheckPosition(position, page);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Text page(std::string_view(reinterpret_cast<const char*>(data), size));
  RegexObject riddles;
  riddles.RunPattern(RiddlePattern(), page);
  const int count = riddles.MatchCount();
  const int groups = riddles.SubMatchCount();
  for (int match = 0; match <= count + 1; ++match) ReadMatch(riddles, match, groups, page);
  riddles.Destroy();
  return 0;
}
