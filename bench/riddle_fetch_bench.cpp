// Time of "@急转弯" through the plug-in file's plugmain against the bundled
// riddle site on loopback, beside a bare libcurl fetch of the same page in the
// same process. The site serves one page for every page number, so both sides
// download the same bytes. Prints figures only.
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "game/site_program.h"

namespace {

constexpr int kRounds = 300;
// "@急转弯" in code page 936.
constexpr const char* kFetchCommand = "@\xBC\xB1\xD7\xAA\xCD\xE4";

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

size_t Discard(char*, size_t size, size_t count, void* received) {
  *static_cast<size_t*>(received) += size * count;
  return size * count;
}

// One download on a fresh handle, as each fetch of the plug-in makes its own.
size_t BareFetch(const std::string& url) {
  size_t received = 0;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
  curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return received;
}

}  // namespace

int main() {
  const LocalSite site;
  const std::unique_ptr<PluginFile> plugin =
      LoadPluginAgainst(site, TAMREK_LOCAL_SITE_PLUGIN_FILE);
  if (plugin == nullptr) return 1;
  const std::string page = ReadSiteFile("jzw/1.htm");
  site.Scenario("/scenario/page", page);
  curl_global_init(CURL_GLOBAL_DEFAULT);
  const std::string url = site.Url("/jzw/1.htm");
  double plugmainMs = 0;
  double bareMs = 0;
  size_t replyBytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    Clock::time_point start = Clock::now();
    replyBytes += std::string(plugin->PlugMain(kFetchCommand)).size();
    plugmainMs += MillisecondsSince(start);
    start = Clock::now();
    BareFetch(url);
    bareMs += MillisecondsSince(start);
  }
  std::printf(
      "page of %zu bytes, %d rounds: plugmain \"@急转弯\" %.3f ms, bare libcurl fetch %.3f ms, "
      "ratio %.2f (mean reply %zu bytes)\n",
      page.size(), kRounds, plugmainMs / kRounds, bareMs / kRounds, plugmainMs / bareMs,
      replyBytes / kRounds);
  curl_global_cleanup();
  return 0;
}
