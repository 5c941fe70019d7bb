// The Linux stand-in for the Internet client, on libcurl. Sending a request
// runs its transfer until the headers of the final response are in; each read
// then runs it on only until a piece of the body is at hand, so that the
// stand-in never holds more than one piece of the body. Cookies live in one
// store shared by every request of the process.
#include "platform/internet_client.h"

#include "core/lasting_objects.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace platform {
namespace {

// How long a wait for the network lasts at most before the cancel flags are
// looked at again.
constexpr int kCancelCheckMs = 50;

// Every handle is made from a Handle pointer, so that Close can release any of them.
struct Handle {
  virtual ~Handle() = default;
  std::atomic<bool> cancelled = false;
};

template <typename T>
T* From(InternetHandle handle) {
  return dynamic_cast<T*>(static_cast<Handle*>(handle));
}

template <typename T>
InternetHandle MakeHandle(T* object) {
  return static_cast<Handle*>(object);
}

struct Session : Handle {
  Session(std::string agentText, std::string address)
      : agent(std::move(agentText)), proxy(std::move(address)) {}
  std::string agent;
  std::string proxy;  // the address, without the "http=" of the proxy text
};

struct Connection : Handle {
  Connection(const Session* owner, std::string hostName, int portNumber)
      : session(owner), host(std::move(hostName)), port(portNumber) {}
  const Session* session;
  std::string host;
  int port;
};

class Transfer;

struct Request : Handle {
  Request(const Connection* owner, std::string verbText, std::string pathText,
          std::uint32_t flagWord);
  ~Request() override;
  const Connection* connection;
  std::string verb, path;
  std::uint32_t flags;
  std::unique_ptr<Transfer> transfer;  // from the send on
};

// A cancel of the request or of the handles it was opened from.
bool IsCancelled(const Request& request) {
  return request.cancelled || request.connection->cancelled ||
         request.connection->session->cancelled;
}

// The process-wide cookie store: a share handle whose cookie data is guarded
// by one lock, so that requests on several threads may use it at once.
class CookieStore {
 public:
  CookieStore() {
    share_ = curl_share_init();
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::Lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::Unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CookieStore() { curl_share_cleanup(share_); }
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;

  // Lets `easy` send and receive the stored cookies.
  void Attach(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_SHARE, share_);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  }

 private:
  static void Lock(CURL*, curl_lock_data, curl_lock_access, void* store) {
    static_cast<CookieStore*>(store)->mutex_.lock();
  }
  static void Unlock(CURL*, curl_lock_data, void* store) {
    static_cast<CookieStore*>(store)->mutex_.unlock();
  }

  std::mutex mutex_;
  CURLSH* share_;
};

CookieStore& Cookies() {
  static CookieStore* store = KeptUntilRelease(new CookieStore());
  return *store;
}

// The caller's header text as lines; blank lines (the end of a Cookie line's
// double CR LF) are left out.
curl_slist* HeaderLines(std::string_view headers) {
  curl_slist* lines = nullptr;
  while (!headers.empty()) {
    const std::size_t end = headers.find("\r\n");
    const std::string line(headers.substr(0, end));
    if (!line.empty()) lines = curl_slist_append(lines, line.c_str());
    if (end == std::string_view::npos) break;
    headers.remove_prefix(end + 2);
  }
  return lines;
}

std::string RequestUrl(const Request& request) {
  const bool secure = (request.flags & kFlagSecure) != 0;
  return (secure ? "https://" : "http://") + request.connection->host + ":" +
         std::to_string(request.connection->port) + request.path;
}

void SetMethod(CURL* easy, const Request& request, std::string_view body) {
  if (request.verb == "POST") {
    curl_easy_setopt(easy, CURLOPT_POST, 1L);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.empty() ? "" : body.data());
  } else if (request.verb != "GET") {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  }
}

bool FollowsRedirects(const Request& request) { return (request.flags & kFlagNoAutoRedirect) == 0; }

// The status code of a status line such as "HTTP/1.1 200 OK"; 0 when it has none.
int StatusCode(std::string_view statusLine) {
  const std::size_t space = statusLine.find(' ');
  if (space == std::string_view::npos) return 0;
  return std::atoi(std::string(statusLine.substr(space + 1, 3)).c_str());
}

// One exchange of a request on a multi handle of its own, run only inside the
// worker's send and read calls; no thread of libcurl's own runs it.
class Transfer {
 public:
  Transfer(const Request& request, std::string_view headers, std::string_view body)
      : request_(request),
        easy_(curl_easy_init()),
        multi_(curl_multi_init()),
        lines_(HeaderLines(headers)) {
    if (easy_ == nullptr || multi_ == nullptr) return;
    SetOptions(body);
    added_ = curl_multi_add_handle(multi_, easy_) == CURLM_OK;
  }
  ~Transfer() {
    if (added_) curl_multi_remove_handle(multi_, easy_);
    curl_multi_cleanup(multi_);
    curl_easy_cleanup(easy_);
    curl_slist_free_all(lines_);
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Runs the transfer until the headers of the final response are in; true
  // when they are.
  bool AwaitHeaders() {
    RunUntil([this] { return headersDone_; });
    return headersDone_;
  }

  // Up to `size` bytes of the body into `buffer`; 0 at its end, on failure or
  // after a cancel.
  std::uint32_t Read(char* buffer, std::uint32_t size) {
    if (Unread() == 0 && paused_) Resume();
    RunUntil([this] { return Unread() > 0; });
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(size, Unread()));
    std::memcpy(buffer, piece_.data() + pieceRead_, count);
    pieceRead_ += count;
    return count;
  }

  // The status line and header lines of the final response.
  const std::string& RawHeaders() const { return rawHeaders_; }

 private:
  void SetOptions(std::string_view body) {
    const Session& session = *request_.connection->session;
    curl_easy_setopt(easy_, CURLOPT_URL, RequestUrl(request_).c_str());
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, session.agent.c_str());
    curl_easy_setopt(easy_, CURLOPT_PROXY, session.proxy.c_str());
    curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, lines_);
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, FollowsRedirects(request_) ? 1L : 0L);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    if ((request_.flags & kFlagNoCookies) == 0) Cookies().Attach(easy_);
    SetMethod(easy_, request_, body);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::TakeBodyPiece);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &Transfer::TakeHeaderLine);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  }

  std::size_t Unread() const { return piece_.size() - pieceRead_; }

  // Lets libcurl hand over the piece it kept back when the last one was still unread.
  void Resume() {
    paused_ = false;
    curl_easy_pause(easy_, CURLPAUSE_CONT);
  }

  // Runs the transfer until `done` holds, it ends, or the request is cancelled.
  template <typename Done>
  void RunUntil(Done done) {
    while (!done() && !ended_) {
      int running = 0;
      if (!added_ || IsCancelled(request_) || curl_multi_perform(multi_, &running) != CURLM_OK ||
          running == 0) {
        ended_ = true;
      } else if (!done()) {
        curl_multi_poll(multi_, nullptr, 0, kCancelCheckMs, nullptr);
      }
    }
  }

  // Keeps the piece of the body libcurl hands over, or has it kept back (the
  // transfer pauses) while the last piece is still unread. A piece of the
  // body means the final response's headers are complete.
  static std::size_t TakeBodyPiece(char* data, std::size_t size, std::size_t count,
                                   void* transfer) {
    Transfer& t = *static_cast<Transfer*>(transfer);
    t.headersDone_ = true;
    if (t.Unread() > 0) {
      t.paused_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    t.piece_.assign(data, size * count);
    t.pieceRead_ = 0;
    return size * count;
  }

  // Keeps the header lines of the last response only: a status line starts
  // over. The blank line ends the headers; they are the final ones unless
  // the response is interim (1xx) or a redirect that may be followed, which
  // the first piece of a body or the end of the transfer then settles.
  static std::size_t TakeHeaderLine(char* data, std::size_t size, std::size_t count,
                                    void* transfer) {
    Transfer& t = *static_cast<Transfer*>(transfer);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) t.rawHeaders_.clear();
    t.rawHeaders_.append(line);
    if (line == "\r\n" || line == "\n") {
      const int status = StatusCode(t.rawHeaders_);
      const bool redirect = status >= 300 && status < 400 && FollowsRedirects(t.request_);
      if (status >= 200 && !redirect) t.headersDone_ = true;
    }
    return size * count;
  }

  const Request& request_;
  CURL* easy_;
  CURLM* multi_;
  curl_slist* lines_;
  bool added_ = false;
  bool ended_ = false;
  bool headersDone_ = false;
  bool paused_ = false;
  std::string piece_;  // the last piece of the body libcurl handed over
  std::size_t pieceRead_ = 0;
  std::string rawHeaders_;
};

Request::Request(const Connection* owner, std::string verbText, std::string pathText,
                 std::uint32_t flagWord)
    : connection(owner), verb(std::move(verbText)), path(std::move(pathText)), flags(flagWord) {}

Request::~Request() = default;

class CurlInternetClient : public InternetClient {
 public:
  // libcurl's global state lives as long as the one client of the module.
  CurlInternetClient() { curl_global_init(CURL_GLOBAL_DEFAULT); }
  ~CurlInternetClient() override { curl_global_cleanup(); }

  InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                      std::string_view proxy) override {
    std::string address;
    if (accessType == kOpenTypeProxy) {
      if (!proxy.starts_with("http=")) return nullptr;
      address = proxy.substr(5);
    }
    return MakeHandle(new Session(std::string(agent), address));
  }

  InternetHandle Connect(InternetHandle session, std::string_view host, int port) override {
    if (From<Session>(session) == nullptr || host.empty()) return nullptr;
    return MakeHandle(new Connection(From<Session>(session), std::string(host), port));
  }

  InternetHandle OpenRequest(InternetHandle connection, std::string_view verb,
                             std::string_view path, std::string_view,
                             std::uint32_t flags) override {
    if (From<Connection>(connection) == nullptr) return nullptr;
    return MakeHandle(
        new Request(From<Connection>(connection), std::string(verb), std::string(path), flags));
  }

  bool Send(InternetHandle handle, std::string_view headers, std::string_view body) override {
    Request& request = *From<Request>(handle);
    request.transfer = std::make_unique<Transfer>(request, headers, body);
    return request.transfer->AwaitHeaders();
  }

  std::uint32_t Read(InternetHandle handle, char* buffer, std::uint32_t size) override {
    const Request& request = *From<Request>(handle);
    return request.transfer == nullptr ? 0 : request.transfer->Read(buffer, size);
  }

  HeaderQuery QueryRawHeaders(InternetHandle handle, char* buffer, std::uint32_t& length) override {
    const Request& request = *From<Request>(handle);
    if (request.transfer == nullptr || request.transfer->RawHeaders().empty()) {
      return HeaderQuery::kFailed;
    }
    const std::string& headers = request.transfer->RawHeaders();
    if (headers.size() + 1 > length) {
      length = static_cast<std::uint32_t>(headers.size() + 1);
      return HeaderQuery::kBufferTooSmall;
    }
    std::memcpy(buffer, headers.c_str(), headers.size() + 1);
    length = static_cast<std::uint32_t>(headers.size());
    return HeaderQuery::kDone;
  }

  // The cookie is stored with the domain of `url` unless it names its own.
  bool SetCookie(std::string_view url, std::string_view name, std::string_view data) override {
    std::string_view host =
        url.substr(url.find("://") == std::string_view::npos ? 0 : url.find("://") + 3);
    host = host.substr(0, host.find('/'));
    std::string line = "Set-Cookie: " + std::string(name) + "=" + std::string(data);
    if (line.find("domain=") == std::string::npos) line += "; domain=" + std::string(host);
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    Cookies().Attach(easy);
    const CURLcode result = curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
    curl_easy_cleanup(easy);
    return result == CURLE_OK;
  }

  // The worker looks at the flag whenever it waits for the network.
  void Cancel(InternetHandle handle) override {
    if (handle != nullptr) static_cast<Handle*>(handle)->cancelled = true;
  }

  void Close(InternetHandle handle) override { delete static_cast<Handle*>(handle); }
};

}  // namespace

InternetClient& SystemInternetClient() {
  // Kept past the exit-time destructors: a worker abandoned after a time-out
  // may still call it while the process ends.
  static CurlInternetClient* client = KeptUntilRelease(new CurlInternetClient());
  return *client;
}

}  // namespace platform
