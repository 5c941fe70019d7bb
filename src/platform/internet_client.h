// The Internet client the web worker runs its exchange on, shaped after the
// calls it makes: open, connect, open a request, send, read, query the raw
// headers, set a cookie, close. The worker receives the client as an
// interface, so that a test can put a recording fake in its place; each side
// supplies the system's client (WinINet on Windows, a libcurl stand-in on
// Linux).
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

using InternetHandle = void*;

inline constexpr std::uint32_t kOpenTypeDirect = 1;  // INTERNET_OPEN_TYPE_DIRECT
inline constexpr std::uint32_t kOpenTypeProxy = 3;   // INTERNET_OPEN_TYPE_PROXY
inline constexpr int kDefaultHttpsPort = 443;        // INTERNET_DEFAULT_HTTPS_PORT

// Request flag words of the open-request call.
inline constexpr std::uint32_t kFlagReload = 0x80000000;          // INTERNET_FLAG_RELOAD
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010;        // INTERNET_FLAG_NEED_FILE
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000;       // INTERNET_FLAG_NO_COOKIES
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000;  // INTERNET_FLAG_NO_AUTO_REDIRECT
inline constexpr std::uint32_t kFlagSecure = 0x00800000;          // INTERNET_FLAG_SECURE
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps =
    0x00004000;  // ..._IGNORE_REDIRECT_TO_HTTPS

// What a query of the raw headers gave.
enum class HeaderQuery {
  kDone,            // the buffer holds the headers and their terminating zero
  kBufferTooSmall,  // nothing written; the length holds the size needed
  kFailed,
};

class InternetClient {
 public:
  virtual ~InternetClient() = default;

  // A session with the user agent `agent`; `proxy` is the proxy text of
  // kOpenTypeProxy ("http=" and the address) and empty for kOpenTypeDirect.
  // Null on failure, as for every open below.
  virtual InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                              std::string_view proxy) = 0;
  // An HTTP connection of `session` to `host` at `port`, without user name or password.
  virtual InternetHandle Connect(InternetHandle session, std::string_view host, int port) = 0;
  // A request of `connection` for `path` with the verb, the version, an empty
  // referrer, no accept types and the flag word `flags`.
  virtual InternetHandle OpenRequest(InternetHandle connection, std::string_view verb,
                                     std::string_view path, std::string_view version,
                                     std::uint32_t flags) = 0;
  // Sends the request with the header lines `headers` as they stand and the
  // optional data `body` (empty: none). True when sent.
  virtual bool Send(InternetHandle request, std::string_view headers, std::string_view body) = 0;
  // Reads up to `size` bytes of the response body into `buffer`; the count
  // read, 0 at the end of the body or on failure.
  virtual std::uint32_t Read(InternetHandle request, char* buffer, std::uint32_t size) = 0;
  // The raw response headers (status line and header lines separated by CR
  // LF, then a zero byte) into `buffer` of `length` bytes. On kBufferTooSmall
  // `length` holds the size needed.
  virtual HeaderQuery QueryRawHeaders(InternetHandle request, char* buffer,
                                      std::uint32_t& length) = 0;
  // Hands the cookie `name`=`data` (attributes included) for `url` to the
  // cookie store that later requests of the process use.
  virtual bool SetCookie(std::string_view url, std::string_view name, std::string_view data) = 0;
  // Makes the calls pending on `handle`, and later ones, fail soon; called
  // from another thread while the worker uses the handle. The worker still
  // releases the handle with Close.
  virtual void Cancel(InternetHandle handle) = 0;
  virtual void Close(InternetHandle handle) = 0;
};

// The system's Internet client, which lives as long as the process.
InternetClient& SystemInternetClient();

}  // namespace platform
