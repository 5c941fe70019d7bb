// WebRequest on the system's worker threads and Internet client against the
// fixture server.
#include "web/web_request.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "core/bytes_operations.h"
#include "core/system_services.h"
#include "core/test_printing.h"
#include "platform/message_queue.h"
#include "web/fixture_server.h"

namespace {

class WebRequestEndToEnd : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new FixtureServer(); }
  static void TearDownTestSuite() { delete server_; }

  static std::string Url(const std::string& path) { return server_->Url(path); }

  static std::uint32_t MillisecondsSince(std::uint32_t start) { return UptimeMs() - start; }

  static FixtureServer* server_;
};

FixtureServer* WebRequestEndToEnd::server_ = nullptr;

TEST_F(WebRequestEndToEnd, BlankUrlReturnsNothingAndWritesNoOutput) {
  Text url = "   ";
  Text headers = "kept";
  EXPECT_TRUE(WebRequest(url, {}, {}, {}, {}, {}, {}, &headers).IsEmpty());
  EXPECT_EQ(Str(url), "   ");
  EXPECT_EQ(Str(headers), "kept");
}

TEST_F(WebRequestEndToEnd, AUrlWithoutSchemeIsCompletedAndFetched) {
  Text url = Text(server_->Address() + "/echo");
  const Bytes body = WebRequest(url);
  EXPECT_EQ(Str(url), Url("/echo"));
  EXPECT_EQ(std::string(body.View()).find("GET /echo HTTP/1.1\r\n"), 0u);
}

TEST_F(WebRequestEndToEnd, PostAndTheOptionalOutputs) {
  Text url = Text(Url("/set-cookie?w=1"));
  Text headers, cookies;
  const Bytes body =
      WebRequest(url, kMethodPost, {}, {}, Bytes("x=1"), {}, 5, &headers, {}, &cookies);
  EXPECT_EQ(std::string(body.View()), "set");
  EXPECT_NE(std::string(headers.View()).find("Set-Cookie: w=1; path=/\r\n"), std::string::npos);
  EXPECT_EQ(Str(cookies), "w=1;");
}

TEST_F(WebRequestEndToEnd, BodiesAreConvertedOnlyWhenAsked) {
  struct Case {
    const char* path;
    int encoding;
    const char* gbk;
  };
  for (const Case c : {Case{"/utf8", kResultUtf8, "汉字"}, Case{"/big5", kResultBig5, "中文"}}) {
    Text url = Text(Url(c.path));
    EXPECT_EQ(Hex(WebRequest(url, {}, {}, {}, {}, {}, {}, nullptr, c.encoding).View()), Hex(c.gbk))
        << c.path;
  }
  Text url = Text(Url("/bytes/3000"));
  EXPECT_EQ(WebRequest(url).Size(), 3000u) << "zero bytes and all, unconverted";
}

TEST_F(WebRequestEndToEnd, ASilentServerTimesOutAfterTheTimeOut) {
  Text url = Text(Url("/silent"));
  Text headers = "kept";
  const std::uint32_t start = UptimeMs();
  EXPECT_EQ(WebRequest(url, {}, {}, {}, {}, {}, 1, &headers), TimeoutText());
  const std::uint32_t elapsed = MillisecondsSince(start);
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 2000u);
  EXPECT_EQ(Str(headers), "kept");
  // The abandoned worker ends on its own; later requests are not disturbed.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  Text next = Text(Url("/missing"));
  EXPECT_EQ(std::string(WebRequest(next).View()), "no such page");
}

TEST_F(WebRequestEndToEnd, ATimeOutOfZeroOrBelowAlwaysTimesOut) {
  for (int seconds : {0, -3}) {
    Text url = Text(Url("/missing"));
    EXPECT_EQ(WebRequest(url, {}, {}, {}, {}, {}, seconds), TimeoutText()) << seconds;
  }
}

TEST_F(WebRequestEndToEnd, WaitingMessagesAreDispatchedDuringTheWait) {
  int dispatched = 0;
  platform::PostHandlerMessage([&dispatched] { ++dispatched; });
  Text url = Text(Url("/silent"));
  const std::uint32_t start = UptimeMs();
  EXPECT_EQ(WebRequest(url, {}, {}, {}, {}, {}, 1), TimeoutText());
  EXPECT_LT(MillisecondsSince(start), 2000u);
  EXPECT_EQ(dispatched, 1);
}

// A handler that posts itself again each time it runs never lets the queue
// empty; the pumping during the wait still ends with the call's time-out.
TEST_F(WebRequestEndToEnd, AHandlerThatPostsItselfAgainDoesNotHoldTheCallPastItsTimeOut) {
  bool again = true;
  int runs = 0;
  std::function<void()> repost = [&] {
    ++runs;
    if (again) platform::PostHandlerMessage(repost);
  };
  platform::PostHandlerMessage(repost);
  Text url = Text(Url("/silent"));
  const std::uint32_t start = UptimeMs();
  EXPECT_EQ(WebRequest(url, {}, {}, {}, {}, {}, 1), TimeoutText());
  EXPECT_LT(MillisecondsSince(start), 2000u);
  EXPECT_GT(runs, 1);
  again = false;
  ProcessEvents();  // the last one posted runs and posts no more
}

}  // namespace

#ifndef _WIN32
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// A loopback port whose connections the system completes and nobody ever
// answers: a request sent there waits for its response until it is cancelled.
class SilentPort {
 public:
  SilentPort() : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* any = reinterpret_cast<sockaddr*>(&address);
    if (bind(socket_, any, length) == 0 && listen(socket_, 4) == 0 &&
        getsockname(socket_, any, &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~SilentPort() { close(socket_); }
  SilentPort(const SilentPort&) = delete;
  SilentPort& operator=(const SilentPort&) = delete;

  int Port() const { return port_; }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  int socket_;
  int port_ = 0;
};

// Registered before the web access makes its objects, it runs after every
// exit handler registered later (those of the libraries, the destruction of
// objects made on first use), and keeps the process in its teardown long
// enough for the abandoned worker to notice its cancel and finish.
void LetAbandonedWorkersRunDuringTeardown() {
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

// Abandons a worker blocked on `url` after a time-out, then ends the process
// at once; status 0 when the time-out text came back.
[[noreturn]] void ExitWhileAWorkerIsBlocked(const std::string& url) {
  std::atexit(&LetAbandonedWorkersRunDuringTeardown);
  Text request = Text(url);
  const bool timedOut = WebRequest(request, {}, {}, {}, {}, {}, 1) == TimeoutText();
  std::exit(timedOut ? 0 : 3);
}

TEST(AbandonedWorker, TheProcessEndsCleanlyWhileAWorkerIsStillBlocked) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const SilentPort silent;
  ASSERT_NE(silent.Port(), 0);
  EXPECT_EXIT(ExitWhileAWorkerIsBlocked(silent.Url()), testing::ExitedWithCode(0), "");
}

}  // namespace

#else
#include <windows.h>

namespace {

// Messages posted from another thread wake the wait again and again until
// just before the time-out; the call still ends on time, since each wait is
// given only the time that remains (a full time-out per wait would run on
// to about twice the time-out).
TEST_F(WebRequestEndToEnd, ASteadyStreamOfMessagesDoesNotStretchTheTimeOut) {
  const DWORD waitingThread = GetCurrentThreadId();
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
  std::atomic<bool> stop = false;
  std::thread poster([&] {
    for (int i = 0; i < 95 && !stop; ++i) {
      PostThreadMessageA(waitingThread, WM_APP + 7, 0, 0);
      Sleep(10);
    }
  });
  Text url = Text(Url("/silent"));
  const std::uint32_t start = UptimeMs();
  EXPECT_EQ(WebRequest(url, {}, {}, {}, {}, {}, 1), TimeoutText());
  EXPECT_LT(MillisecondsSince(start), 1500u);
  stop = true;
  poster.join();
}

}  // namespace
#endif
