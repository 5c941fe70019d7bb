// tamrek-host: a stand-in for the chat-robot host. Loads a plug-in file,
// prints what `info` returns, then hands each input line to `plugmain` as a
// chat message and prints the reply.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "plugin_loader.h"
#include "terminal_text.h"

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

constexpr const char* kUsage =
    "usage: tamrek-host [--raw] [--script FILE] PLUGIN\n"
    "  Loads the plug-in file PLUGIN, prints its information text, then passes each\n"
    "  line of standard input (or of FILE) to plugmain as a chat message and prints\n"
    "  the reply. Texts are converted between UTF-8 and code page 936 both ways;\n"
    "  --raw passes the bytes unchanged.\n";

struct Options {
  bool raw = false;
  std::string script;
  std::string plugin;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--script" && i + 1 < argc) {
      options.script = argv[++i];
    } else if (arg.rfind("--", 0) == 0 || !options.plugin.empty()) {
      return false;
    } else {
      options.plugin = arg;
    }
  }
  return !options.plugin.empty();
}

// What the plug-in said, as the terminal shows it: UTF-8 with plain line ends.
std::string ForTerminal(const char* gbk, bool raw) {
  std::string text = gbk != nullptr ? gbk : "";
  if (raw) return text;
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    shown.push_back(text[i]);
  }
  return GbkToUtf8(shown);
}

void PrintReply(const char* reply, bool raw) {
  if (reply == nullptr || reply[0] == '\0') {
    std::fputs("(empty reply)\n", stdout);
    return;
  }
  const std::string shown = ForTerminal(reply, raw);
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fputc('\n', stdout);
}

int Converse(const PluginFile& plugin, std::istream& in, bool raw, bool echo) {
  std::string line;
  while (std::getline(in, line)) {
    if (!raw && !line.empty() && line.back() == '\r') line.pop_back();
    if (echo) std::printf("> %s\n", line.c_str());
    const std::string message = raw ? line : Utf8ToGbk(line);
    PrintReply(plugin.PlugMain(message.c_str()), raw);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  std::unique_ptr<PluginFile> plugin = PluginFile::Load(options.plugin, error);
  if (plugin == nullptr) {
    std::fprintf(stderr, "tamrek-host: %s\n", error.c_str());
    return 1;
  }
  std::fputs(ForTerminal(plugin->Info(), options.raw).c_str(), stdout);
  std::fflush(stdout);

  if (options.script.empty()) {
    // Typed messages need no echo; piped ones do, so the transcript reads on its own.
    return Converse(*plugin, std::cin, options.raw, isatty(fileno(stdin)) == 0);
  }
  std::ifstream script(options.script, std::ios::binary);
  if (!script) {
    std::fprintf(stderr, "tamrek-host: cannot read script %s\n", options.script.c_str());
    return 1;
  }
  return Converse(*plugin, script, options.raw, true);
}
