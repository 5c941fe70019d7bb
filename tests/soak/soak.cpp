// The soak run: 100,000 plugmain calls through the loaded plug-in file, every
// command and any bytes, 1,000 of them "@急转弯" against the bundled site on
// loopback, where some pages are slow, some missing and some outlast the
// plug-in's 1-second fetch time-out. Prints the resident memory after the
// warm-up and at the end, and the threads still alive once the abandoned
// workers have had time to finish. Run it under AddressSanitizer to have
// every leak reported at exit.
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "game/site_program.h"

namespace {

constexpr int kCalls = 100000;
constexpr int kFetchEvery = kCalls / 1000;
constexpr int kWarmUpCalls = kCalls / 10;

// The chat commands in code page 936.
const char* const kCommands[] = {
    "@\xBC\xB1\xD7\xAA\xCD\xE4",          // @急转弯
    "@\xCF\xD4\xCA\xBE\xB4\xF0\xB0\xB8",  // @显示答案
    "@\xCF\xD4\xCA\xBE\xCC\xE2\xC4\xBF",  // @显示题目
    "@\xB4\xF0",                          // @答
};

long ResidentKib() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
    closedir(tasks);
  }
  return count;
}

// A message other than "@急转弯": a command, or none, with any bytes but zero
// around it, blanks, quotes and line breaks included.
std::string AnyMessage(std::mt19937& random) {
  std::string message;
  const int shape = random() % 4;
  if (shape < 3) message = kCommands[1 + random() % 3];
  const int extra = random() % 5 == 0 ? random() % 4096 : random() % 16;
  for (int i = 0; i < extra; ++i) {
    const char byte = static_cast<char>(1 + random() % 255);
    if (random() % 2 == 0) {
      message += byte;
    } else {
      message.insert(message.begin() + random() % (message.size() + 1), byte);
    }
  }
  return message;
}

}  // namespace

int main() {
  const LocalSite site;
  std::unique_ptr<PluginFile> plugin = LoadPluginAgainst(site, TAMREK_SHORT_TIMEOUT_PLUGIN_FILE);
  if (plugin == nullptr) return 1;
  site.Scenario("/scenario/mixed");
  std::mt19937 random(20261211);
  long warmKib = 0;
  int riddlesAsked = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int call = 1; call <= kCalls; ++call) {
    const bool fetch = call % kFetchEvery == 0;
    const std::string message = fetch ? kCommands[0] : AnyMessage(random);
    const std::string reply = plugin->PlugMain(message.c_str());
    riddlesAsked += fetch && reply.size() > 100;
    if (call == kWarmUpCalls) warmKib = ResidentKib();
  }
  const long endKib = ResidentKib();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Abandoned workers end when their slow page finally arrives (3 s at most).
  std::this_thread::sleep_for(std::chrono::seconds(4));
  plugin.reset();
  std::printf(
      "%d calls in %.1f s, %d of %d fetches asked a riddle\n"
      "resident memory: %ld KiB after warm-up (%d calls), %ld KiB at the end, growth %ld KiB\n"
      "threads alive after the run: %d (the program's own: 1)\n",
      kCalls, seconds, riddlesAsked, kCalls / kFetchEvery, warmKib, kWarmUpCalls, endKib,
      endKib - warmKib, ThreadCount());
  return 0;
}
