#include "web/url_helpers.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/test_printing.h"

namespace {

struct UrlCase {
  const char* url;
  const char* host;
  const char* path;
  int port;
};

TEST(UrlHelpers, SplitAUrlByTheirLiteralRules) {
  const UrlCase cases[] = {
      {"http://host", "host", "/", 80},
      {"http://host:8080/path", "host", "/path", 8080},
      {"http://host:8080/p?q=1", "host", "/p?q=1", 8080},
      {"http://MyHost/Index.htm", "myhost", "/Index.htm", 80},  // the path keeps its case
      {"https://MyHost:8443/a/b", "myhost", "/a/b", 0},  // "https:" is taken as host and port
      {"HTTP://MyHost/", "http", "//MyHost/", 80},    // scheme deleted case-sensitively in the host
      {"HTTP://host:81/", "http", "//host:81/", 81},  // ... but the port's prefix test ignores case
      // Every "http://" is deleted, so the host is not found in the URL; the port part
      // ends at the second scheme's first "/" and holds nothing after its ":".
      {"http://host?u=http://b/c", "host?u=b", "//host?u=http://b/c", 0},
      {"http://host?x=1", "host?x=1", "/", 80},
      {"http://user:pw@host/", "user", "/", 0},  // user information is not recognised
      {"http://:81/x", "", "//:81/x", 81},       // an empty host: the first "/" of the URL
      {"host:81/x", "host", "/x", 81},
      {"http://host:/", "host", "/", 0},
      {"http://host:abc/", "host", "/", 0},
      {"", "", "/", 80},
  };
  for (const UrlCase& c : cases) {
    EXPECT_EQ(Str(UrlHost(c.url)), c.host) << c.url;
    EXPECT_EQ(Str(UrlPath(c.url)), c.path) << c.url;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
  }
}

struct BetweenCase {
  const char* text;
  const char* startMarker;
  const char* endMarker;
  std::optional<bool> caseSensitive;
  const char* expected;
};

TEST(TextBetween, CutsBetweenTheFirstStartMarkerAndTheNextEndMarker) {
  const BetweenCase cases[] = {
      {"User-Agent: X\r\nAccept: */*", "user-agent:", "\r\n", std::nullopt, " X"},
      {"User-Agent: X\r\nAccept: */*", "user-agent:", "\r\n", true, ""},
      {"User-Agent: X\r\nAccept: */*", "User-Agent:", "\r\n", true, " X"},
      {"a=b", "x", "b", std::nullopt, ""},         // no start marker
      {"a=b;", "a=", "\r\n", std::nullopt, ""},    // no end marker after the start marker
      {"<a><b>", "<a>", "<b>", std::nullopt, ""},  // end marker follows directly
      {"name=\"v1\" id=\"v2\"", "#引号", "#引号", std::nullopt, "v1"},
      {"id=\"v2\"", "id=#引号", "#引号", std::nullopt, "v2"},
      {"[1][2]", "[", "]", std::nullopt, "1"},
  };
  for (const BetweenCase& c : cases) {
    EXPECT_EQ(Str(TextBetween(c.text, c.startMarker, c.endMarker, std::nullopt, c.caseSensitive)),
              c.expected)
        << c.text << " between " << c.startMarker << " and " << c.endMarker;
  }
  // A given start position also starts the search within the rest.
  EXPECT_EQ(Str(TextBetween("[1][2]x]yz]", "[", "]", 4)), "2]x");
}

TEST(TextBefore, EverythingBeforeTheMarker) {
  const struct {
    const char* text;
    const char* marker;
    std::optional<int> start;
    std::optional<bool> ignoreCase;
    const char* expected;
  } cases[] = {
      {"a=b; path=/", ";", std::nullopt, std::nullopt, "a=b"},
      {"a=b", ";", std::nullopt, std::nullopt, ""},  // no marker
      {";x", ";", std::nullopt, std::nullopt, ""},   // marker at position 1
      {"a;b;c", ";", 3, std::nullopt, "a;b"},  // from the start of the text, not of the search
      {"a;b", ";", -2, std::nullopt, "a"},
      {"aXbx", "x", std::nullopt, std::nullopt, "aXb"},  // exact by default
      {"aXbx", "x", std::nullopt, true, "a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Str(TextBefore(c.text, c.marker, c.start, c.ignoreCase)), c.expected) << c.text;
  }
}

}  // namespace
