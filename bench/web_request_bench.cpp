// Times of WebRequest downloading 1 MiB and 64 MiB bodies from the fixture
// server, beside the curl command line fetching the same URLs, with the peak
// memory of this process. Prints figures only.
#include <sys/resource.h>
#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/system_services.h"
#include "web/fixture_server.h"
#include "web/web_request.h"

namespace {

double SecondsOf(std::uint32_t startMs) { return (UptimeMs() - startMs) / 1000.0; }

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
    Text requestUrl = Text(url);
    std::uint32_t start = UptimeMs();
    const std::size_t size = WebRequest(requestUrl, {}, {}, {}, {}, {}, 120).Size();
    const double ours = SecondsOf(start);
    start = UptimeMs();
    const int status = std::system(("curl -s -o /dev/null " + url).c_str());
    const double theirs = SecondsOf(start);
    std::printf(
        "%3d MiB: WebRequest %.3f s (%zu bytes), curl %.3f s (status %d), ratio %.2f, "
        "peak memory %ld KiB\n",
        mebibytes, ours, size, theirs, status, theirs > 0 ? ours / theirs : 0.0, PeakKib());
  }
  return 0;
}
