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

TEST_F(HttpTransactionEndToEnd, BodiesComeBackWholeWhateverTheStatus) {
  std::string expected;
  for (int i = 0; i < 5000; ++i) expected += static_cast<char>(i % 256);
  EXPECT_EQ(Hex(Run({.url = Url("/bytes/5000")}).body), Hex(expected));
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

TEST_F(HttpTransactionEndToEnd, UnusualHeadersStillYieldTheirCookies) {
  const Exchange longHeaders = Run({.url = Url("/long-headers")});
  EXPECT_GT(longHeaders.rawHeaders.size(), 3000u);
  EXPECT_EQ(longHeaders.receivedCookies, "late=1;");
  EXPECT_EQ(Run({.url = Url("/eof-byte")}).receivedCookies, "a=1;b=2;");
}

}  // namespace
