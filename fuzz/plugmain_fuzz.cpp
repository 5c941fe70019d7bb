// plugmain fed arbitrary message bytes, with and without a current riddle.
//
// Input: the first byte's lowest bit installs a riddle first (the question of
// the bundled site's first riddle, the answer taken from the input up to its
// first zero byte); the rest, split at its zero bytes, is the sequence of
// messages of the run. The module's kept state is released at the end of every
// run, so a text it forgets shows as a leak in that run; the whole unload
// routine runs once at the end of the process, as when the host unloads the
// module (the objects it releases are made once per load and never again).
// The module asks a loopback port where nothing listens: "@急转弯" fails at
// once instead of waiting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "plugin/exports.h"
#include "plugin/module_state.h"

namespace {

// "什么门永远关不上？"
constexpr const char* kQuestion =
    "\xCA\xB2\xC3\xB4\xC3\xC5\xD3\xC0\xD4\xB6\xB9\xD8\xB2\xBB\xC9\xCF\xA3\xBF";

// Installs a current riddle with `answer`; an empty answer would mean none.
void InstallRiddle(std::string_view answer) {
  if (answer.empty()) return;
  RiddleState& riddle = KeptState().riddle;
  riddle.question = kQuestion;
  riddle.answer = answer;
}

// Hands `message` to plugmain as the host does, a zero-terminated copy, and
// reads the whole reply.
void SendMessage(std::string_view message) {
  const std::string copy(message);
  const char* reply = plugmain(copy.c_str(), nullptr, nullptr, nullptr, nullptr);
  if (reply == nullptr) __builtin_trap();
  (void)std::strlen(reply);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(ModuleTeardown);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) != 0) {
    const std::size_t end = rest.find('\0');
    InstallRiddle(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  for (;;) {
    const std::size_t end = rest.find('\0');
    SendMessage(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest = rest.substr(end + 1);
  }
  (void)std::strlen(info());
  ReleaseKeptState();
  return 0;
}
