#include "web/http_transaction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/test_printing.h"
#include "web/recording_internet_client.h"
#include "web/request_fields.h"

namespace {

using namespace std::string_literals;
using Fake = RecordingInternetClient;

const std::string kDefaultAccept =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";
constexpr const char* kDefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// Runs one exchange on `fake` through a stream, as the worker does, and
// returns the record read back from the stream.
BytesArray Exchange(Fake& fake, const RequestFields& request) {
  const StreamHandle stream = OpenMemoryStream();
  WriteRecord(stream, RequestRecord(request));
  RunHttpTransaction(stream, fake);
  BytesArray result(kRequestRecordFields);
  Rewind(stream);
  EXPECT_TRUE(ReadRecord(stream, result));
  CloseStream(stream);
  return result;
}

std::string Field(const BytesArray& record, int field) {
  return std::string(record.At(field).View());
}

TEST(RunHttpTransaction, ARiddlePageGetGoesOutWithTheDefaults) {
  Fake fake;
  Exchange(fake, {});
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"Open", "Connect", "OpenRequest", "Send", "QueryRawHeaders",
                                      "Close(request)", "Close(connection)", "Close(session)"}));
  EXPECT_EQ(fake.agent, kDefaultAgent);
  EXPECT_EQ(fake.accessType, 1u);
  EXPECT_EQ(fake.proxy, "");
  EXPECT_EQ(fake.host, "site");
  EXPECT_EQ(fake.port, 80);
  EXPECT_EQ(fake.verb, "GET");
  EXPECT_EQ(fake.path, "/jzw/1.htm");
  EXPECT_EQ(fake.version, "HTTP/1.1");
  EXPECT_EQ(fake.sentHeaders,
            kDefaultAccept + "Referer: http://site/jzw/1.htm\r\n"s + "Accept-Language: zh-cn\r\n");
  EXPECT_EQ(fake.sentBody, "");
}

TEST(RunHttpTransaction, FlagWordsAndPorts) {
  struct Case {
    const char* url;
    const char* cookies;
    bool allowRedirects;
    std::uint32_t flags;
    int port;
  };
  const Case cases[] = {
      {"http://h:8080/", "", true, 0x80004010, 8080},
      {"http://h/", "a=1", true, 0x80084010, 80},
      {"http://h/", "", false, 0x80204010, 80},
      {"http://h/", "a=1", false, 0x80284010, 80},
      {"http://h/", "   ", true, 0x80004010, 80},  // blank cookies keep the library's own
      {"https://h/", "", true, 0x80800010, 443},
      {"https://h/", "a=1", true, 0x80880010, 443},
      {"https://h/", "", false, 0x80a00010, 443},
      {"https://h/", "a=1", false, 0x80a80010, 443},
      {"http://h/a?u=https://b", "", true, 0x80800010, 443},  // "https://" anywhere is secure
      {"http://h/a?u=HTTPS://b", "", true, 0x80800010, 443},
  };
  for (const Case& c : cases) {
    Fake fake;
    Exchange(fake, {.url = c.url, .cookies = c.cookies, .allowRedirects = c.allowRedirects});
    EXPECT_EQ(fake.flags, c.flags) << c.url << " cookies '" << c.cookies << "'";
    EXPECT_EQ(fake.port, c.port) << c.url;
  }
}

TEST(RunHttpTransaction, RedirectsAreAllowedOnlyByTheTrueText) {
  for (const char* text : {"", "假", "1", "真 "}) {
    Fake fake;
    RequestFields request;
    const StreamHandle stream = OpenMemoryStream();
    BytesArray record = RequestRecord(request);
    record.Set(kFieldAllowRedirects, Bytes(std::string_view(text)));
    WriteRecord(stream, record);
    RunHttpTransaction(stream, fake);
    CloseStream(stream);
    EXPECT_EQ(fake.flags, 0x80204010u) << "'" << text << "'";
  }
}

TEST(RunHttpTransaction, HeaderTextIsCompletedAndSent) {
  const std::string referer = "Referer: http://site/jzw/1.htm\r\n";
  const std::string language = "Accept-Language: zh-cn\r\n";
  struct Case {
    const char* name;
    RequestFields request;
    std::string headers;
    std::string body;
  };
  const Case cases[] = {
      {"own Accept-Language counts as Accept too",
       {.headers = "accept-language: en\r\n"},
       "accept-language: en\r\n" + referer,
       ""},
      {"RefererNo is deleted once, with no Referer line",
       {.headers = "X: 1\r\nRefererNo"},
       "X: 1\r\n" + kDefaultAccept + language,
       ""},
      {"own Referer line",
       {.headers = "referer: x\r\n"},
       "referer: x\r\n" + kDefaultAccept + language,
       ""},
      {"GET sends cookies but no body",
       {.postData = "a=1", .cookies = "k=v"},
       kDefaultAccept + referer + language + "Cookie: k=v\r\n\r\n",
       ""},
      {"blank cookies still make a Cookie line",
       {.cookies = "  "},
       kDefaultAccept + referer + language + "Cookie:   \r\n\r\n",
       ""},
      {"POST with a body",
       {.method = "POST", .postData = "a=1&b"},
       kDefaultAccept + referer + language +
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 5\r\n",
       "a=1&b"},
      {"POST with its own content lines and cookies",
       {.method = "POST",
        .headers = "content-type: text/plain\r\nCONTENT-LENGTH: 2\r\n",
        .postData = "hi",
        .cookies = "k=v"},
       "content-type: text/plain\r\nCONTENT-LENGTH: 2\r\n" + kDefaultAccept + referer + language +
           "Cookie: k=v\r\n\r\n",
       "hi"},
      {"POST without a body", {.method = "POST"}, kDefaultAccept + referer + language, ""},
  };
  for (const Case& c : cases) {
    Fake fake;
    Exchange(fake, c.request);
    EXPECT_EQ(fake.sentHeaders, c.headers) << c.name;
    EXPECT_EQ(fake.sentBody, c.body) << c.name;
    EXPECT_EQ(fake.verb, c.request.method) << c.name;
  }
}

TEST(RunHttpTransaction, UserAgentComesFromTheCallersLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"user-agent:  Robot/2 \r\nX: 1\r\n", "Robot/2"},
      {"X: 1\r\nUser-Agent: Robot/2", ""},  // no CR LF after it: the empty agent
  };
  for (const auto& [headers, agent] : cases) {
    Fake fake;
    Exchange(fake, {.headers = headers});
    EXPECT_EQ(fake.agent, agent) << headers;
    EXPECT_EQ(fake.sentHeaders.find(headers), 0u) << "the line itself is sent";
  }
}

TEST(RunHttpTransaction, AProxyIsOpenedWithItsHttpText) {
  Fake fake;
  Exchange(fake, {.proxy = "127.0.0.1:3128"});
  EXPECT_EQ(fake.accessType, 3u);
  EXPECT_EQ(fake.proxy, "http=127.0.0.1:3128");
}

TEST(RunHttpTransaction, AFailedOpenClosesWhatIsOpenAndGivesAnEmptyBody) {
  struct Case {
    Fake::FailingOpen failing;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {Fake::FailingOpen::kSession, {"Open"}},
      {Fake::FailingOpen::kConnection, {"Open", "Connect", "Close(session)"}},
      {Fake::FailingOpen::kRequest,
       {"Open", "Connect", "OpenRequest", "Close(connection)", "Close(session)"}},
  };
  for (const Case& c : cases) {
    Fake fake;
    fake.failingOpen = c.failing;
    fake.body = "never read";
    const BytesArray result =
        Exchange(fake, {.headers = "H: 1\r\n", .postData = "d", .cookies = "k=v"});
    EXPECT_EQ(fake.calls, c.calls);
    EXPECT_EQ(Field(result, kFieldBody), "");
    EXPECT_EQ(Field(result, kFieldMethod), "GET") << "the request's fields go back";
    EXPECT_EQ(Field(result, kFieldCookies), "k=v");
    EXPECT_EQ(Field(result, kFieldHeaders), "H: 1\r\n");
  }
}

TEST(RunHttpTransaction, TheResultRecordCarriesBodyHeadersAndTheRequestsFields) {
  Fake fake;
  std::string body;
  for (int i = 0; i < 5000; ++i) body += static_cast<char>(i % 7 == 0 ? 0 : 'a' + i % 26);
  fake.body = body;
  fake.rawHeaders = "HTTP/1.1 404 Not Found\r\nContent-Length: 5000\r\n\r\n";
  const BytesArray result =
      Exchange(fake, {.proxy = "p:1", .headers = "H: 1\r\n", .postData = "d"});
  EXPECT_EQ(Hex(Field(result, kFieldBody)), Hex(body));
  EXPECT_EQ(fake.readSizes, (std::vector<std::uint32_t>{2048, 2048, 2048, 2048}));
  EXPECT_EQ(Field(result, kFieldRawHeaders), fake.rawHeaders);
  EXPECT_EQ(Field(result, kFieldReceivedCookies), "");
  EXPECT_EQ(Field(result, kFieldProxy), "p:1");
  EXPECT_EQ(Field(result, kFieldHeaders), "H: 1\r\n") << "without the default lines";
  EXPECT_EQ(Field(result, kFieldPostData), "d");
  EXPECT_EQ(Field(result, kFieldAllowRedirects), std::string(ToText(true).View()));
}

TEST(RunHttpTransaction, SetCookieLinesAreStoredAndCollected) {
  Fake fake;
  fake.rawHeaders =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nX-Set-Cookie-Not: 1\r\n"
      "set-cookie: b=2\r\nSET-COOKIE: noequals; secure\r\n\r\n";
  const BytesArray result = Exchange(fake, {.url = "http://Site:81/p"});
  EXPECT_EQ(Field(result, kFieldReceivedCookies), "a=1;;noequals;");
  EXPECT_EQ(fake.cookies, (std::vector<Fake::Cookie>{{"http://site", "a", "1; path=/"},
                                                     {"http://site", "b", "2"},
                                                     {"http://site", "", "noequals; secure"}}));
}

TEST(RunHttpTransaction, RawHeadersLongerThanTheBufferAreReadWhole) {
  Fake fake;
  fake.rawHeaders = "HTTP/1.1 200 OK\r\nX-Long: " + std::string(3000, 'x') +
                    "\r\nSet-Cookie: late=1; path=/\r\n\r\n";
  const BytesArray result = Exchange(fake, {});
  EXPECT_EQ(Field(result, kFieldRawHeaders), fake.rawHeaders);
  EXPECT_EQ(Field(result, kFieldReceivedCookies), "late=1;");
}

TEST(RunHttpTransaction, TheCookieScanStepsOverAnEndOfFileByte) {
  Fake fake;
  fake.rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; p\x1A; x\r\nSet-Cookie: b=2; q\r\n\r\n";
  const BytesArray result = Exchange(fake, {});
  EXPECT_EQ(Field(result, kFieldReceivedCookies), "a=1;b=2;");
  EXPECT_EQ(fake.cookies.size(), 2u);
}

TEST(RunHttpTransaction, AnUnreadableRecordLeavesTheStreamAsItWas) {
  Fake fake;
  const StreamHandle stream = OpenMemoryStream();
  BytesArray sixFields(6);
  WriteRecord(stream, sixFields);
  RunHttpTransaction(stream, fake);
  EXPECT_EQ(Hex(StreamContents(stream).View()), Hex(std::string(24, '\0')));
  EXPECT_TRUE(fake.calls.empty());
  CloseStream(stream);
}

}  // namespace
