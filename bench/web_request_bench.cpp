// Times of WebRequest downloading 1 MiB and 64 MiB bodies from the fixture
// server, beside the curl command line fetching the same URLs, with the peak
// memory of this process. Each size is fetched in several rounds, the two
// ways taking turns, and the medians are printed: one download's time varies
// with what else the machine does. Prints figures only.
#include <sys/resource.h>
#include <sys/time.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/system_services.h"
#include "web/fixture_server.h"
#include "web/web_request.h"

namespace {

double SecondsOf(std::uint32_t startMs) { return (UptimeMs() - startMs) / 1000.0; }

constexpr int kRounds = 5;

double Median(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main() {
  FixtureServer server;
  if (server.Port() == 0) return 1;
  for (const int mebibytes : {1, 64}) {
    const std::string url = server.Url("/bytes/" + std::to_string(mebibytes << 20));
    std::vector<double> ours;
    std::vector<double> theirs;
    std::size_t size = 0;
    int status = 0;
    for (int round = 0; round < kRounds; ++round) {
      Text requestUrl = Text(url);
      std::uint32_t start = UptimeMs();
      size = WebRequest(requestUrl, {}, {}, {}, {}, {}, 120).Size();
      ours.push_back(SecondsOf(start));
      start = UptimeMs();
      status = std::system(("curl -s -o /dev/null " + url).c_str());
      theirs.push_back(SecondsOf(start));
    }
    const double ourMedian = Median(ours);
    const double theirMedian = Median(theirs);
    std::printf(
        "%3d MiB: WebRequest %.3f s (%zu bytes), curl %.3f s (status %d), ratio %.2f, "
        "peak memory %ld KiB, medians of %d rounds\n",
        mebibytes, ourMedian, size, theirMedian, status,
        theirMedian > 0 ? ourMedian / theirMedian : 0.0, PeakKib(), kRounds);
  }
  return 0;
}
