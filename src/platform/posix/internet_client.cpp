// The Linux stand-in for the Internet client, on libcurl. One request runs
// its whole transfer when it is sent; reads then hand out the body in pieces.
// Cookies live in one store shared by every request of the process.
#include "platform/internet_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

namespace platform {
namespace {

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

struct Request : Handle {
  Request(const Connection* owner, std::string verbText, std::string pathText,
          std::uint32_t flagWord)
      : connection(owner), verb(std::move(verbText)), path(std::move(pathText)), flags(flagWord) {}
  const Connection* connection;
  std::string verb, path;
  std::uint32_t flags;
  std::string body;
  std::size_t bodyRead = 0;
  std::string rawHeaders;  // of the last response, the final one after redirects
};

// The process-wide cookie store: a share handle whose cookie data is guarded
// by one lock, so that requests on several threads may use it at once.
class CookieStore {
 public:
  CookieStore() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    share_ = curl_share_init();
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::Lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::Unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
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
  static CookieStore* store = new CookieStore();  // used until the process ends
  return *store;
}

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* request) {
  static_cast<Request*>(request)->body.append(data, size * count);
  return size * count;
}

// Keeps the header lines of the last response only: a status line starts over.
std::size_t AppendHeaderLine(char* data, std::size_t size, std::size_t count, void* request) {
  std::string& headers = static_cast<Request*>(request)->rawHeaders;
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) headers.clear();
  headers.append(line);
  return size * count;
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

// Read by libcurl during the transfer: a cancel of the request or of the
// handles it was opened from ends the transfer.
int CancelledProgress(void* request, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const Request& r = *static_cast<Request*>(request);
  return r.cancelled || r.connection->cancelled || r.connection->session->cancelled ? 1 : 0;
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

class CurlInternetClient : public InternetClient {
 public:
  InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                      std::string_view proxy) override {
    Cookies();
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
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    const std::string url = RequestUrl(request);
    curl_slist* lines = HeaderLines(headers);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, request.connection->session->agent.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXY, request.connection->session->proxy.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, lines);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION,
                     (request.flags & kFlagNoAutoRedirect) != 0 ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    if ((request.flags & kFlagNoCookies) == 0) Cookies().Attach(easy);
    SetMethod(easy, request, body);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &request);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &AppendHeaderLine);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &request);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CancelledProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &request);
    const CURLcode result = curl_easy_perform(easy);
    curl_slist_free_all(lines);
    curl_easy_cleanup(easy);
    return result == CURLE_OK;
  }

  std::uint32_t Read(InternetHandle handle, char* buffer, std::uint32_t size) override {
    Request& request = *From<Request>(handle);
    const std::size_t count = std::min<std::size_t>(size, request.body.size() - request.bodyRead);
    std::memcpy(buffer, request.body.data() + request.bodyRead, count);
    request.bodyRead += count;
    return static_cast<std::uint32_t>(count);
  }

  HeaderQuery QueryRawHeaders(InternetHandle handle, char* buffer, std::uint32_t& length) override {
    const std::string& headers = From<Request>(handle)->rawHeaders;
    if (headers.empty()) return HeaderQuery::kFailed;
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

  void Cancel(InternetHandle handle) override {
    if (handle != nullptr) static_cast<Handle*>(handle)->cancelled = true;
  }

  void Close(InternetHandle handle) override { delete static_cast<Handle*>(handle); }
};

}  // namespace

InternetClient& SystemInternetClient() {
  static CurlInternetClient client;
  return client;
}

}  // namespace platform
