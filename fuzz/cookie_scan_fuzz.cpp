// The cookie scan over arbitrary raw header text, on a recording client.
//
// Input: a host text, then the raw header text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "web/cookie_scan.h"
#include "web/recording_internet_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Text host(input.ConsumeRandomLengthString(64));
  const Text rawHeaders(input.ConsumeRemainingBytesAsString());
  RecordingInternetClient client;
  const Text received = StoreCookies(client, host, rawHeaders);
  // Every stored cookie adds its piece, at least its ";", to the received text.
  if (received.Size() < client.cookies.size()) __builtin_trap();
  return 0;
}
