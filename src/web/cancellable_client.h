// An Internet client that passes every call on to another one and can cancel,
// from the waiting thread, whatever exchange the worker has open on it.
#pragma once

#include <mutex>
#include <vector>

#include "platform/internet_client.h"

class CancellableClient : public platform::InternetClient {
 public:
  explicit CancellableClient(platform::InternetClient& inner) : inner_(inner) {}

  // Cancels every handle open now or opened later.
  void CancelAll();

  platform::InternetHandle Open(std::string_view agent, std::uint32_t accessType,
                                std::string_view proxy) override;
  platform::InternetHandle Connect(platform::InternetHandle session, std::string_view host,
                                   int port) override;
  platform::InternetHandle OpenRequest(platform::InternetHandle connection, std::string_view verb,
                                       std::string_view path, std::string_view version,
                                       std::uint32_t flags) override;
  bool Send(platform::InternetHandle request, std::string_view headers,
            std::string_view body) override;
  std::uint32_t Read(platform::InternetHandle request, char* buffer, std::uint32_t size) override;
  platform::HeaderQuery QueryRawHeaders(platform::InternetHandle request, char* buffer,
                                        std::uint32_t& length) override;
  bool SetCookie(std::string_view url, std::string_view name, std::string_view data) override;
  void Cancel(platform::InternetHandle handle) override;
  void Close(platform::InternetHandle handle) override;

 private:
  // Keeps a new handle, cancelled at once when the exchange already is.
  platform::InternetHandle Track(platform::InternetHandle handle);

  platform::InternetClient& inner_;
  std::mutex mutex_;
  bool cancelled_ = false;
  std::vector<platform::InternetHandle> open_;
};
