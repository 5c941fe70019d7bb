// RunHttpTransaction on the system's Internet client against the fixture server.
#include <gtest/gtest.h>

#include <string>

#include "core/conversions.h"
#include "core/test_printing.h"
#include "web/fixture_server.h"
#include "web/http_transaction.h"
#include "web/request_fields.h"

namespace {

struct Exchange {
  std::string body, receivedCookies, rawHeaders;
};

class HttpTransactionEndToEnd : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new FixtureServer(); }
  static void TearDownTestSuite() { delete server_; }

  static std::string Url(const std::string& path) { return server_->Url(path); }

  static Exchange Run(const RequestFields& r) {
    BytesArray record = RequestRecord(r);
    const StreamHandle stream = OpenMemoryStream();
    WriteRecord(stream, record);
    RunHttpTransaction(stream, platform::SystemInternetClient());
    Rewind(stream);
    EXPECT_TRUE(ReadRecord(stream, record));
    CloseStream(stream);
    return {std::string(record.At(kFieldBody).View()),
            std::string(record.At(kFieldReceivedCookies).View()),
            std::string(record.At(kFieldRawHeaders).View())};
  }

  static FixtureServer* server_;
};

FixtureServer* HttpTransactionEndToEnd::server_ = nullptr;

TEST_F(HttpTransactionEndToEnd, GetAndPostGoOutAsBuilt) {
  ASSERT_NE(server_->Port(), 0);
  const Exchange get = Run({.url = Url("/echo")});
  EXPECT_EQ(get.body.find("GET /echo HTTP/1.1\r\n"), 0u) << get.body;
  EXPECT_NE(get.body.find("Referer: " + Url("/echo") + "\r\n"), std::string::npos);
  EXPECT_NE(get.body.find("Accept-Language: zh-cn\r\n"), std::string::npos);
  EXPECT_NE(get.body.find("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0;"), std::string::npos);
  EXPECT_EQ(get.rawHeaders.find("HTTP/1.0 200 OK\r\n") == 0 ||
                get.rawHeaders.find("HTTP/1.1 200 OK\r\n") == 0,
            true)
      << get.rawHeaders;

  const Exchange post = Run({.url = Url("/echo"), .method = "POST", .postData = "a=1&b=2"});
  EXPECT_EQ(post.body.find("POST /echo HTTP/1.1\r\n"), 0u) << post.body;
  EXPECT_NE(post.body.find("Content-Length: 7\r\n"), std::string::npos);
  EXPECT_NE(post.body.find("Content-Type: application/x-www-form-urlencoded\r\n"),
            std::string::npos);
  EXPECT_EQ(post.body.substr(post.body.size() - 7), "a=1&b=2");
}

// The fixture's body of `size` bytes cycling through 0..255.
std::string CyclingBytes(int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(i % 256);
  return bytes;
}

TEST_F(HttpTransactionEndToEnd, BodiesComeBackWholeWhateverTheStatus) {
  // Several reads; and many times what the client holds of a body at once.
  for (const int size : {5000, 3000000}) {
    const std::string body = Run({.url = Url("/bytes/" + std::to_string(size))}).body;
    EXPECT_TRUE(body == CyclingBytes(size)) << size << " bytes, " << body.size() << " came back";
  }
  const Exchange missing = Run({.url = Url("/missing")});
  EXPECT_EQ(missing.body, "no such page");
  EXPECT_NE(missing.rawHeaders.find(" 404 "), std::string::npos);
}

TEST_F(HttpTransactionEndToEnd, SlowAndCutBodiesKeepWhatArrived) {
  EXPECT_EQ(Run({.url = Url("/trickle")}).body, "0123456789");
  EXPECT_EQ(Run({.url = Url("/cut")}).body, "0123456789");
}

TEST_F(HttpTransactionEndToEnd, CookiesSetByAResponseAreSentLater) {
  const Exchange set = Run({.url = Url("/set-cookie?kept=1&other=2")});
  EXPECT_EQ(set.receivedCookies, "kept=1;other=2;");
  const std::string sent = Run({.url = Url("/cookies")}).body;
  EXPECT_NE(sent.find("kept=1"), std::string::npos) << sent;
  EXPECT_NE(sent.find("other=2"), std::string::npos) << sent;
  EXPECT_EQ(Run({.url = Url("/cookies"), .cookies = "mine=3"}).body, "mine=3")
      << "the caller's cookies replace the stored ones";
}

TEST_F(HttpTransactionEndToEnd, RedirectsAreFollowedOnlyWhenAllowed) {
  EXPECT_EQ(Run({.url = Url("/redirect")}).body.find("GET /echo HTTP/1.1"), 0u);
  const Exchange stayed = Run({.url = Url("/redirect"), .allowRedirects = false});
  EXPECT_EQ(stayed.body, "moved");
  EXPECT_NE(stayed.rawHeaders.find(" 302 "), std::string::npos);
}

TEST_F(HttpTransactionEndToEnd, AProxyReceivesTheAbsoluteUrl) {
  const std::string body =
      Run({.url = "http://fixture.invalid/echo", .proxy = server_->Address()}).body;
  EXPECT_EQ(body.find("GET http://fixture.invalid:80/echo HTTP/1.1\r\n") == 0 ||
                body.find("GET http://fixture.invalid/echo HTTP/1.1\r\n") == 0,
            true)
      << body;
}

// The client on its own: the raw headers are at hand as soon as the request
// is sent, and every read hands out no more than it was asked for.
TEST_F(HttpTransactionEndToEnd, TheClientHasTheHeadersOnceSentAndReadsNoMoreThanAsked) {
  platform::InternetClient& client = platform::SystemInternetClient();
  const platform::InternetHandle session = client.Open("agent", platform::kOpenTypeDirect, "");
  const platform::InternetHandle connection = client.Connect(session, "127.0.0.1", server_->Port());
  const platform::InternetHandle request =
      client.OpenRequest(connection, "GET", "/bytes/100000", "HTTP/1.1",
                         platform::kFlagReload | platform::kFlagNeedFile);
  ASSERT_NE(request, nullptr);
  EXPECT_TRUE(client.Send(request, "", ""));
  char headers[2048];
  std::uint32_t length = sizeof headers;
  ASSERT_EQ(client.QueryRawHeaders(request, headers, length), platform::HeaderQuery::kDone);
  EXPECT_NE(std::string(headers).find("Content-Length: 100000\r\n"), std::string::npos) << headers;

  std::string body;
  char buffer[2000];
  for (std::uint32_t asked = 1;; asked = asked % 1999 + 7) {
    const std::uint32_t count = client.Read(request, buffer, asked);
    ASSERT_LE(count, asked);
    if (count == 0) break;
    body.append(buffer, count);
  }
  EXPECT_TRUE(body == CyclingBytes(100000)) << body.size() << " bytes came back";
  client.Close(request);
  client.Close(connection);
  client.Close(session);
}

TEST_F(HttpTransactionEndToEnd, UnusualHeadersStillYieldTheirCookies) {
  const Exchange longHeaders = Run({.url = Url("/long-headers")});
  EXPECT_GT(longHeaders.rawHeaders.size(), 3000u);
  EXPECT_EQ(longHeaders.receivedCookies, "late=1;");
  EXPECT_EQ(Run({.url = Url("/eof-byte")}).receivedCookies, "a=1;b=2;");
}

}  // namespace
