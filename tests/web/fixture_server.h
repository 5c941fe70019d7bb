// The HTTP fixture server of the web tests. On Linux a test starts and stops
// it; a Windows test program under Wine finds the one its test command
// started (tests/fixtures/with_fixture_server.sh) through TAMREK_FIXTURE_PORT.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32

class FixtureServer {
 public:
  // The options are those the test command gave the server it started.
  explicit FixtureServer(const std::vector<std::string>& = {}) {
    const char* port = std::getenv("TAMREK_FIXTURE_PORT");
    port_ = port == nullptr ? 0 : std::atoi(port);
  }
  int Port() const { return port_; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://" + Address() + path; }

 private:
  int port_ = 0;
};

#else

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

class FixtureServer {
 public:
  // `options` go to the server's command line (see http_server.py).
  explicit FixtureServer(std::vector<std::string> options = {}) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string program = "python3";
    std::string script = TAMREK_FIXTURE_SERVER;
    std::vector<char*> argv = {program.data(), script.data()};
    for (std::string& option : options) argv.push_back(option.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    port_ = ReadPortLine(pipeEnds[0]);
    close(pipeEnds[0]);
  }
  ~FixtureServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  FixtureServer(const FixtureServer&) = delete;
  FixtureServer& operator=(const FixtureServer&) = delete;

  int Port() const { return port_; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://" + Address() + path; }

 private:
  // The first line of the server's output, which may arrive in several pieces.
  static int ReadPortLine(int output) {
    std::string line;
    char c = 0;
    while (line.size() < 16 && read(output, &c, 1) == 1 && c != '\n') line += c;
    return line.empty() ? 0 : std::stoi(line);
  }

  pid_t pid_ = 0;
  int port_ = 0;
};

#endif
