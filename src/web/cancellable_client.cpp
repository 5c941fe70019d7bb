#include "web/cancellable_client.h"

#include <algorithm>

using platform::InternetHandle;

void CancellableClient::CancelAll() {
  const std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  for (InternetHandle handle : open_) inner_.Cancel(handle);
}

InternetHandle CancellableClient::Track(InternetHandle handle) {
  if (handle == nullptr) return nullptr;
  const std::lock_guard<std::mutex> lock(mutex_);
  open_.push_back(handle);
  if (cancelled_) inner_.Cancel(handle);
  return handle;
}

InternetHandle CancellableClient::Open(std::string_view agent, std::uint32_t accessType,
                                       std::string_view proxy) {
  return Track(inner_.Open(agent, accessType, proxy));
}

InternetHandle CancellableClient::Connect(InternetHandle session, std::string_view host, int port) {
  return Track(inner_.Connect(session, host, port));
}

InternetHandle CancellableClient::OpenRequest(InternetHandle connection, std::string_view verb,
                                              std::string_view path, std::string_view version,
                                              std::uint32_t flags) {
  return Track(inner_.OpenRequest(connection, verb, path, version, flags));
}

bool CancellableClient::Send(InternetHandle request, std::string_view headers,
                             std::string_view body) {
  return inner_.Send(request, headers, body);
}

std::uint32_t CancellableClient::Read(InternetHandle request, char* buffer, std::uint32_t size) {
  return inner_.Read(request, buffer, size);
}

platform::HeaderQuery CancellableClient::QueryRawHeaders(InternetHandle request, char* buffer,
                                                         std::uint32_t& length) {
  return inner_.QueryRawHeaders(request, buffer, length);
}

bool CancellableClient::SetCookie(std::string_view url, std::string_view name,
                                  std::string_view data) {
  return inner_.SetCookie(url, name, data);
}

void CancellableClient::Cancel(InternetHandle handle) { inner_.Cancel(handle); }

void CancellableClient::Close(InternetHandle handle) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), handle), open_.end());
  }
  inner_.Close(handle);
}
