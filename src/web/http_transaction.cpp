#include "web/http_transaction.h"

#include <cstdint>
#include <string_view>

#include "core/bytes_operations.h"
#include "core/conversions.h"
#include "core/text_cutting.h"
#include "web/cookie_scan.h"
#include "web/url_helpers.h"

namespace {

using platform::InternetClient;
using platform::InternetHandle;

constexpr std::uint32_t kReadSize = 2048;
constexpr std::uint32_t kRawHeaderBufferSize = 2048;

constexpr const char* kDefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr const char* kDefaultAcceptLine =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";

// What the worker takes from the request record for one exchange.
struct Request {
  Text url;
  Text method;
  Text proxy;
  Text headers;
  Bytes postData;
  Text cookies;
  bool allowRedirects = false;
};

Request TakeRequest(const BytesArray& record) {
  Request request;
  request.url = ToText(record.At(kFieldUrl));
  request.method = ToText(record.At(kFieldMethod));
  request.proxy = ToText(record.At(kFieldProxy));
  request.headers = ToText(record.At(kFieldHeaders));
  request.postData = record.At(kFieldPostData);
  request.cookies = ToText(record.At(kFieldCookies));
  request.allowRedirects = TextEquals(ToText(record.At(kFieldAllowRedirects)), ToText(true));
  return request;
}

bool Contains(const Text& headers, const char* name) {
  return FindText(headers, name, 1, true) > 0;
}

// A secure request is one whose URL holds "https://" anywhere.
bool IsSecure(const Text& url) { return FindText(ToLowerCase(url), "https://") > 0; }

// The agent named by a User-Agent line of the caller, else the default agent.
Text UserAgent(const Text& headers) {
  if (!Contains(headers, "User-Agent:")) return kDefaultAgent;
  return TrimBothEnds(TextBetween(headers, "User-Agent:", "\r\n"));
}

std::uint32_t RequestFlags(const Request& request, bool secure) {
  std::uint32_t flags = platform::kFlagReload | platform::kFlagNeedFile;
  // Cookies of the caller replace those the library would add of its own.
  if (!TrimBothEnds(request.cookies).IsEmpty()) flags |= platform::kFlagNoCookies;
  if (!request.allowRedirects) flags |= platform::kFlagNoAutoRedirect;
  flags |= secure ? platform::kFlagSecure : platform::kFlagIgnoreRedirectToHttps;
  return flags;
}

// The caller's header text with the default Accept, Referer and
// Accept-Language lines it lacks appended; "RefererNo" asks for no Referer.
Text WithDefaultLines(Text headers, const Text& url) {
  if (!Contains(headers, "Accept")) headers = ConcatText(headers, kDefaultAcceptLine);
  if (FindText(headers, "RefererNo", 1, true) > 0) {
    headers = ReplaceSubtext(headers, "RefererNo", Text(), 1, 1, true);
  } else if (!Contains(headers, "Referer")) {
    headers = ConcatText(headers, "Referer: ", url, "\r\n");
  }
  if (!Contains(headers, "Accept-Language")) {
    headers = ConcatText(headers, "Accept-Language: zh-cn\r\n");
  }
  return headers;
}

// The lines that describe a POST body, when the caller gave none of their own.
Text WithBodyLines(Text headers, const Bytes& body) {
  if (!Contains(headers, "Content-Type")) {
    headers = ConcatText(headers, "Content-Type: application/x-www-form-urlencoded\r\n");
  }
  if (!Contains(headers, "Content-Length")) {
    headers = ConcatText(headers, "Content-Length: ", ToText(BytesLength(body)), "\r\n");
  }
  return headers;
}

Text WithCookieLine(const Text& headers, const Text& cookies) {
  if (cookies.IsEmpty()) return headers;
  return ConcatText(headers, "Cookie: ", cookies, "\r\n\r\n");
}

void SendRequest(InternetClient& client, InternetHandle handle, const Request& request) {
  Text headers = WithDefaultLines(request.headers, request.url);
  if (TextEquals(request.method, "GET")) {
    client.Send(handle, WithCookieLine(headers, request.cookies).View(), {});
  } else if (TextEquals(request.method, "POST")) {
    if (!request.postData.IsEmpty()) headers = WithBodyLines(headers, request.postData);
    client.Send(handle, WithCookieLine(headers, request.cookies).View(), request.postData.View());
  }
}

// Reads the whole body straight into its place in the result record, the
// first field, at the start of the stream: a long body is neither copied nor
// held twice, and its cost stays linear in its length. False when the stream
// cannot hold it.
bool StreamBody(StreamHandle stream, InternetClient& client, InternetHandle handle) {
  Rewind(stream);
  return WriteElementFrom(stream, kReadSize, [&client, handle](char* buffer, std::size_t size) {
    return client.Read(handle, buffer, static_cast<std::uint32_t>(size));
  });
}

// The raw response headers. Headers longer than the usual buffer are asked
// for again with the size the library reports, so that none is lost; a
// failed query leaves the blanks the buffer was filled with.
Text RawHeaders(InternetClient& client, InternetHandle handle) {
  Text::Storage buffer(kRawHeaderBufferSize, ' ');
  std::uint32_t length = kRawHeaderBufferSize;
  if (client.QueryRawHeaders(handle, buffer.data(), length) ==
      platform::HeaderQuery::kBufferTooSmall) {
    buffer.assign(length, ' ');
    if (client.QueryRawHeaders(handle, buffer.data(), length) != platform::HeaderQuery::kDone) {
      buffer.assign(kRawHeaderBufferSize, ' ');
    }
  }
  return Text(std::move(buffer));
}

void WriteResult(StreamHandle stream, const BytesArray& record) {
  Rewind(stream);
  WriteRecord(stream, record);
}

// Writes the fields after the body, which is in the stream already; a body
// the stream could not hold goes back empty.
void WriteResultAfterBody(StreamHandle stream, BytesArray& record, bool bodyInPlace) {
  if (bodyInPlace) {
    WriteRecordFrom(stream, record, kFieldBody + 1);
  } else {
    record.Set(kFieldBody, Bytes());
    WriteResult(stream, record);
  }
}

// Opens the session, connection and request in turn; on a failed open the
// handles already open are closed and the request handle is null.
struct Handles {
  InternetHandle session = nullptr;
  InternetHandle connection = nullptr;
  InternetHandle request = nullptr;
};

Handles OpenHandles(InternetClient& client, const Request& request, const Text& host) {
  Handles handles;
  const bool secure = IsSecure(request.url);
  const Text agent = UserAgent(request.headers);
  if (request.proxy.IsEmpty()) {
    handles.session = client.Open(agent.View(), platform::kOpenTypeDirect, {});
  } else {
    handles.session = client.Open(agent.View(), platform::kOpenTypeProxy,
                                  ConcatText("http=", request.proxy).View());
  }
  if (handles.session == nullptr) return handles;
  const int port = secure ? platform::kDefaultHttpsPort : UrlPort(request.url);
  handles.connection = client.Connect(handles.session, host.View(), port);
  if (handles.connection == nullptr) {
    client.Close(handles.session);
    return handles;
  }
  handles.request =
      client.OpenRequest(handles.connection, request.method.View(), UrlPath(request.url).View(),
                         "HTTP/1.1", RequestFlags(request, secure));
  if (handles.request == nullptr) {
    client.Close(handles.connection);
    client.Close(handles.session);
  }
  return handles;
}

}  // namespace

void RunHttpTransaction(StreamHandle stream, InternetClient& client) {
  BytesArray record(kRequestRecordFields);
  Rewind(stream);
  if (!ReadRecord(stream, record)) return;
  const Request request = TakeRequest(record);
  const Text host = UrlHost(request.url);

  const Handles handles = OpenHandles(client, request, host);
  if (handles.request == nullptr) {
    record.Set(kFieldBody, Bytes());
    WriteResult(stream, record);
    return;
  }
  SendRequest(client, handles.request, request);
  const bool bodyInPlace = StreamBody(stream, client, handles.request);
  const Text rawHeaders = RawHeaders(client, handles.request);
  record.Set(kFieldRawHeaders, ToBytes(rawHeaders));
  client.Close(handles.request);
  client.Close(handles.connection);
  client.Close(handles.session);

  record.Set(kFieldReceivedCookies, ToBytes(StoreCookies(client, host, rawHeaders)));
  WriteResultAfterBody(stream, record, bodyInPlace);
}
