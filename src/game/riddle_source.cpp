#include "game/riddle_source.h"

#include "core/conversions.h"
#include "core/random.h"
#include "game/riddle_site.h"
#include "regex/regex_object.h"
#include "web/web_request.h"

namespace {

constexpr int kFirstPage = 1;
constexpr int kLastPage = 70;

// One riddle is one list item on one line: the question in the left-hand span,
// the answer in the pop-up call behind the "点击显示答案" link.
// <li><span class="table_left">(.{1,}?)</span><span class="table_right"><a
// href="javascript:;" class="answer" onclick="MM_popupMsg\('答案：(.{1,}?)'\)">点击显示答案</a></span></li>
constexpr char kRiddlePattern[] =
    "<li><span class=\"table_left\">(.{1,}?)</span><span class=\"table_right\"><a "
    "href=\"javascript:;\" class=\"answer\" onclick=\"MM_popupMsg\\('\xB4\xF0\xB0\xB8\xA3\xBA(.{1,}"
    "?)'\\)\">\xB5\xE3\xBB\xF7\xCF\xD4\xCA\xBE\xB4\xF0\xB0\xB8</a></span></li>";

Bytes DownloadWithWebRequest(Text& address) {
  return WebRequest(address, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                    RiddleFetchTimeoutSeconds());
}

}  // namespace

Text RiddlePattern() { return kRiddlePattern; }

Text RiddlePageAddress(int page) {
  return ConcatText(RiddleSiteBaseAddress(), ToText(page), ".htm");
}

Text FetchRiddleWith(RiddleState& state, const RiddlePageDownload& download) {
  RegexObject riddles;
  SeedRandom();
  Text address = RiddlePageAddress(RandomNumber(kFirstPage, kLastPage));
  const Text page = ToText(download(address));
  riddles.RunPattern(RiddlePattern(), page);
  const int count = riddles.MatchCount();
  Text question;
  Text answer;
  if (count > 0) {
    const int chosen = RandomNumber(1, count);
    question = riddles.SubMatchText(chosen, 1);
    answer = riddles.SubMatchText(chosen, 2);
  }
  // Written only now: a message handled while the page was on its way still
  // saw the previous riddle.
  state.answer = answer;
  riddles.Destroy();
  return question;
}

Text FetchRiddle(RiddleState& state) { return FetchRiddleWith(state, DownloadWithWebRequest); }
