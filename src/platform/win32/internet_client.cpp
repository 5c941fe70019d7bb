// The Windows Internet client library, its calls bound by name at first use.
#include "platform/internet_client.h"

#include "core/lasting_objects.h"

#include <windows.h>

#include <mutex>
#include <set>
#include <string>

namespace platform {
namespace {

using Handle = void*;
using OpenFn = Handle(WINAPI*)(const char*, DWORD, const char*, const char*, DWORD);
using ConnectFn = Handle(WINAPI*)(Handle, const char*, WORD, const char*, const char*, DWORD, DWORD,
                                  DWORD_PTR);
using OpenRequestFn = Handle(WINAPI*)(Handle, const char*, const char*, const char*, const char*,
                                      const char**, DWORD, DWORD_PTR);
using SendFn = BOOL(WINAPI*)(Handle, const char*, DWORD, void*, DWORD);
using ReadFn = BOOL(WINAPI*)(Handle, void*, DWORD, DWORD*);
using QueryFn = BOOL(WINAPI*)(Handle, DWORD, void*, DWORD*, DWORD*);
using SetCookieFn = BOOL(WINAPI*)(const char*, const char*, const char*);
using CloseFn = BOOL(WINAPI*)(Handle);

constexpr DWORD kServiceHttp = 3;           // INTERNET_SERVICE_HTTP
constexpr DWORD kQueryRawHeadersCrlf = 22;  // HTTP_QUERY_RAW_HEADERS_CRLF

struct WinInet {
  OpenFn open = nullptr;
  ConnectFn connect = nullptr;
  OpenRequestFn openRequest = nullptr;
  SendFn send = nullptr;
  ReadFn read = nullptr;
  QueryFn query = nullptr;
  SetCookieFn setCookie = nullptr;
  CloseFn close = nullptr;

  bool Loaded() const {
    return open && connect && openRequest && send && read && query && setCookie && close;
  }
};

template <typename Fn>
void Bind(HMODULE library, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

const WinInet& Library() {
  static const WinInet library = [] {
    WinInet calls;
    const HMODULE module = LoadLibraryA("wininet.dll");
    if (module == nullptr) return calls;
    Bind(module, "InternetOpenA", calls.open);
    Bind(module, "InternetConnectA", calls.connect);
    Bind(module, "HttpOpenRequestA", calls.openRequest);
    Bind(module, "HttpSendRequestA", calls.send);
    Bind(module, "InternetReadFile", calls.read);
    Bind(module, "HttpQueryInfoA", calls.query);
    Bind(module, "InternetSetCookieA", calls.setCookie);
    Bind(module, "InternetCloseHandle", calls.close);
    return calls;
  }();
  return library;
}

class WinInetClient : public InternetClient {
 public:
  InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                      std::string_view proxy) override {
    if (!Library().Loaded()) return nullptr;
    return Library().open(std::string(agent).c_str(), accessType, std::string(proxy).c_str(), "",
                          0);
  }
  InternetHandle Connect(InternetHandle session, std::string_view host, int port) override {
    return Library().connect(session, std::string(host).c_str(), static_cast<WORD>(port), "", "",
                             kServiceHttp, 0, 0);
  }
  InternetHandle OpenRequest(InternetHandle connection, std::string_view verb,
                             std::string_view path, std::string_view version,
                             std::uint32_t flags) override {
    return Library().openRequest(connection, std::string(verb).c_str(), std::string(path).c_str(),
                                 std::string(version).c_str(), "", nullptr, flags, 0);
  }
  bool Send(InternetHandle request, std::string_view headers, std::string_view body) override {
    std::string data(body);
    return Library().send(request, std::string(headers).c_str(), static_cast<DWORD>(headers.size()),
                          body.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(body.size())) != FALSE;
  }
  std::uint32_t Read(InternetHandle request, char* buffer, std::uint32_t size) override {
    DWORD count = 0;
    if (!Library().read(request, buffer, size, &count)) return 0;
    return count;
  }
  HeaderQuery QueryRawHeaders(InternetHandle request, char* buffer,
                              std::uint32_t& length) override {
    DWORD size = length;
    if (Library().query(request, kQueryRawHeadersCrlf, buffer, &size, nullptr)) {
      length = size;
      return HeaderQuery::kDone;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return HeaderQuery::kFailed;
    length = size;
    return HeaderQuery::kBufferTooSmall;
  }
  bool SetCookie(std::string_view url, std::string_view name, std::string_view data) override {
    return Library().setCookie(std::string(url).c_str(), std::string(name).c_str(),
                               std::string(data).c_str()) != FALSE;
  }
  // Closing a handle is how pending calls on it are cancelled; the worker's
  // own close of it later is then left out.
  void Cancel(InternetHandle handle) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!cancelled_.insert(handle).second) return;
    }
    Library().close(handle);
  }
  void Close(InternetHandle handle) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (cancelled_.erase(handle) != 0) return;
    }
    Library().close(handle);
  }

 private:
  std::mutex mutex_;
  std::set<InternetHandle> cancelled_;
};

}  // namespace

InternetClient& SystemInternetClient() {
  // Kept past the exit-time destructors: the exit handlers of a process run
  // while a worker abandoned after a time-out may still close its handles
  // through it.
  static WinInetClient* client = KeptUntilRelease(new WinInetClient());
  return *client;
}

}  // namespace platform
