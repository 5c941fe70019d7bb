#include "web/web_request.h"

#include <cstdint>
#include <memory>

#include "codepage/conversions.h"
#include "core/bytes_operations.h"
#include "core/conversions.h"
#include "core/memory_stream.h"
#include "core/system_services.h"
#include "core/text_cutting.h"
#include "platform/worker_thread.h"
#include "web/cancellable_client.h"
#include "web/http_transaction.h"

namespace {

constexpr int kDefaultTimeoutMs = 60000;

// "超时返回，指定网站不能访问，或者你的网络出现问题，你可以把参数中的＂超时返回＂的值设置长一些。"
constexpr std::string_view kTimeoutText =
    "\xB3\xAC\xCA\xB1\xB7\xB5\xBB\xD8\xA3\xAC\xD6\xB8\xB6\xA8\xCD\xF8\xD5\xBE\xB2\xBB\xC4\xDC"
    "\xB7\xC3\xCE\xCA\xA3\xAC\xBB\xF2\xD5\xDF\xC4\xE3\xB5\xC4\xCD\xF8\xC2\xE7\xB3\xF6\xCF\xD6"
    "\xCE\xCA\xCC\xE2\xA3\xAC\xC4\xE3\xBF\xC9\xD2\xD4\xB0\xD1\xB2\xCE\xCA\xFD\xD6\xD0\xB5\xC4"
    "\xA3\xA2\xB3\xAC\xCA\xB1\xB7\xB5\xBB\xD8\xA3\xA2\xB5\xC4\xD6\xB5\xC9\xE8\xD6\xC3\xB3\xA4"
    "\xD2\xBB\xD0\xA9\xA1\xA3";

// What the caller and the worker share for one exchange. It lives until both
// have let go of it, so a worker that outlasts the time-out still finds its
// stream and client; the stream is closed when the last of them lets go.
struct Exchange {
  Exchange() : stream(OpenMemoryStream()), client(platform::SystemInternetClient()) {}
  ~Exchange() { CloseStream(stream); }
  Exchange(const Exchange&) = delete;
  Exchange& operator=(const Exchange&) = delete;

  StreamHandle stream;
  CancellableClient client;
};

using SharedExchange = std::shared_ptr<Exchange>;

void RunWorker(void* parameter) {
  const std::unique_ptr<SharedExchange> exchange(static_cast<SharedExchange*>(parameter));
  RunHttpTransaction((*exchange)->stream, (*exchange)->client);
}

// Starts the worker with its own share of the exchange; null when no thread
// could be started.
platform::WorkerHandle StartExchange(const SharedExchange& exchange) {
  auto* share = new SharedExchange(exchange);
  platform::WorkerHandle worker = platform::StartWorker(&RunWorker, share);
  if (worker == nullptr) delete share;
  return worker;
}

bool HasScheme(const Text& url) {
  return TextEquals(TextLeft(url, 7), "http://") || TextEquals(TextLeft(url, 8), "https://");
}

BytesArray RequestRecord(const Text& url, std::optional<int> method,
                         const std::optional<Text>& proxy, const std::optional<Text>& headers,
                         const std::optional<Bytes>& postData, const std::optional<Text>& cookies,
                         std::optional<bool> allowRedirects) {
  BytesArray record(kRequestRecordFields);
  record.Set(kFieldUrl, ToBytes(url));
  record.Set(kFieldMethod, ToBytes(method == kMethodPost ? "POST" : "GET"));
  record.Set(kFieldProxy, ToBytes(proxy.value_or(Text())));
  record.Set(kFieldHeaders, ToBytes(headers.value_or(Text())));
  record.Set(kFieldPostData, postData.value_or(Bytes()));
  record.Set(kFieldCookies, ToBytes(cookies.value_or(Text())));
  record.Set(kFieldAllowRedirects, ToBytes(ToText(allowRedirects.value_or(true))));
  return record;
}

std::int64_t TimeoutMs(std::optional<int> timeoutSeconds) {
  if (!timeoutSeconds) return kDefaultTimeoutMs;
  return TruncateToInteger(*timeoutSeconds * 1000.0);
}

// Waits for the worker while the calling thread's messages are dispatched;
// true when it ended before the time-out. Each wait is given the time that
// remains, and the dispatching stops once the time is up, so that a call never
// lasts much beyond its time-out, however the messages come.
bool WorkerEndedInTime(platform::WorkerHandle worker, std::int64_t timeoutMs) {
  const std::uint32_t start = UptimeMs();
  // Elapsed time modulo 2^32, so that the clock's wrap does not matter.
  const auto elapsedMs = [start] { return static_cast<std::uint32_t>(UptimeMs() - start); };
  const auto timeRemains = [&elapsedMs, timeoutMs] { return elapsedMs() < timeoutMs; };
  for (;;) {
    const std::int64_t remaining = timeoutMs - elapsedMs();
    platform::WaitStatus status = platform::WaitForWorkerOrMessages(
        worker, static_cast<std::uint32_t>(remaining > 0 ? remaining : 0));
    if (!timeRemains()) status = platform::WaitStatus::kTimedOut;
    ProcessEventsWhile(timeRemains);
    if (status == platform::WaitStatus::kWorkerEnded) return true;
    if (status == platform::WaitStatus::kTimedOut) return false;
  }
}

Bytes ConvertedBody(Bytes body, std::optional<int> resultEncoding) {
  if (resultEncoding == kResultUtf8) return ToBytes(ConvertUtf8ToAnsi(ToText(body)));
  if (resultEncoding == kResultBig5) return ToBytes(ConvertBig5ToGbk(ToText(body)));
  return body;
}

}  // namespace

Bytes TimeoutText() { return Bytes(kTimeoutText); }

Bytes WebRequest(Text& url, std::optional<int> method, std::optional<Text> proxy,
                 std::optional<Text> headers, std::optional<Bytes> postData,
                 std::optional<Text> cookies, std::optional<int> timeoutSeconds,
                 Text* responseHeaders, std::optional<int> resultEncoding, Text* receivedCookies,
                 std::optional<bool> allowRedirects) {
  if (TrimBothEnds(url).IsEmpty()) return Bytes();
  if (!HasScheme(url)) url = ConcatText("http://", url);

  const auto exchange = std::make_shared<Exchange>();
  if (!WriteRecord(exchange->stream,
                   RequestRecord(url, method, proxy, headers, postData, cookies, allowRedirects))) {
    return Bytes();
  }
  const platform::WorkerHandle worker = StartExchange(exchange);
  const bool ended = WorkerEndedInTime(worker, TimeoutMs(timeoutSeconds));
  platform::CloseWorker(worker);
  if (!ended) {
    // The worker finishes on its own; its result is never read.
    exchange->client.CancelAll();
    return TimeoutText();
  }

  BytesArray result(kRequestRecordFields);
  Rewind(exchange->stream);
  ReadRecord(exchange->stream, result);
  if (responseHeaders != nullptr) *responseHeaders = ToText(result.At(kFieldRawHeaders));
  if (receivedCookies != nullptr) *receivedCookies = ToText(result.At(kFieldReceivedCookies));
  return ConvertedBody(result.Take(kFieldBody), resultEncoding);
}
