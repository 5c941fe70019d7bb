// A recording fake of the Internet client: it answers from a script (which
// open fails, the body, the raw headers) and keeps every argument it was
// given, so that tests assert the exact calls without a network.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/internet_client.h"

class RecordingInternetClient : public platform::InternetClient {
 public:
  // The script.
  enum class FailingOpen { kNone, kSession, kConnection, kRequest };
  FailingOpen failingOpen = FailingOpen::kNone;
  std::string body;
  std::string rawHeaders = "HTTP/1.1 200 OK\r\n\r\n";

  // The record.
  struct Cookie {
    std::string url, name, data;
    bool operator==(const Cookie&) const = default;
  };
  std::vector<std::string> calls;  // call names in order; closes name the handle
  std::string agent, proxy, host, verb, path, version, sentHeaders, sentBody;
  std::uint32_t accessType = 0, flags = 0;
  int port = 0;
  std::vector<std::uint32_t> readSizes;
  std::vector<Cookie> cookies;

  platform::InternetHandle Open(std::string_view agentText, std::uint32_t access,
                                std::string_view proxyText) override {
    calls.push_back("Open");
    agent = agentText;
    accessType = access;
    proxy = proxyText;
    return failingOpen == FailingOpen::kSession ? nullptr : &session_;
  }
  platform::InternetHandle Connect(platform::InternetHandle session, std::string_view hostText,
                                   int portNumber) override {
    calls.push_back(session == &session_ ? "Connect" : "Connect(wrong handle)");
    host = hostText;
    port = portNumber;
    return failingOpen == FailingOpen::kConnection ? nullptr : &connection_;
  }
  platform::InternetHandle OpenRequest(platform::InternetHandle connection,
                                       std::string_view verbText, std::string_view pathText,
                                       std::string_view versionText,
                                       std::uint32_t flagWord) override {
    calls.push_back(connection == &connection_ ? "OpenRequest" : "OpenRequest(wrong handle)");
    verb = verbText;
    path = pathText;
    version = versionText;
    flags = flagWord;
    return failingOpen == FailingOpen::kRequest ? nullptr : &request_;
  }
  bool Send(platform::InternetHandle request, std::string_view headers,
            std::string_view data) override {
    calls.push_back(request == &request_ ? "Send" : "Send(wrong handle)");
    sentHeaders = headers;
    sentBody = data;
    return true;
  }
  std::uint32_t Read(platform::InternetHandle, char* buffer, std::uint32_t size) override {
    readSizes.push_back(size);
    const std::size_t count = std::min<std::size_t>(size, body.size() - bodyRead_);
    std::memcpy(buffer, body.data() + bodyRead_, count);
    bodyRead_ += count;
    return static_cast<std::uint32_t>(count);
  }
  platform::HeaderQuery QueryRawHeaders(platform::InternetHandle, char* buffer,
                                        std::uint32_t& length) override {
    calls.push_back("QueryRawHeaders");
    if (rawHeaders.size() + 1 > length) {
      length = static_cast<std::uint32_t>(rawHeaders.size() + 1);
      return platform::HeaderQuery::kBufferTooSmall;
    }
    std::memcpy(buffer, rawHeaders.c_str(), rawHeaders.size() + 1);
    return platform::HeaderQuery::kDone;
  }
  bool SetCookie(std::string_view url, std::string_view name, std::string_view data) override {
    cookies.push_back({std::string(url), std::string(name), std::string(data)});
    return true;
  }
  void Cancel(platform::InternetHandle) override { calls.push_back("Cancel"); }
  void Close(platform::InternetHandle handle) override {
    calls.push_back(handle == &request_      ? "Close(request)"
                    : handle == &connection_ ? "Close(connection)"
                    : handle == &session_    ? "Close(session)"
                                             : "Close(unknown)");
  }

 private:
  char session_ = 0, connection_ = 0, request_ = 0;
  std::size_t bodyRead_ = 0;
};
