#include <iconv.h>

#include <cerrno>

#include "terminal_text.h"

namespace {

std::string Convert(const std::string& in, const char* from, const char* to, bool fromUtf8) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return in;
  std::string out;
  char buffer[4096];
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // An invalid or unmappable sequence: one '?' for it, and on.
      out.push_back('?');
      ++inPtr;
      --inLeft;
      // Skip the rest of a multi-byte UTF-8 sequence at once.
      while (inLeft > 0 && fromUtf8 && (static_cast<unsigned char>(*inPtr) & 0xC0) == 0x80) {
        ++inPtr;
        --inLeft;
      }
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToGbk(const std::string& utf8) { return Convert(utf8, "UTF-8", "CP936", true); }

std::string GbkToUtf8(const std::string& gbk) { return Convert(gbk, "CP936", "UTF-8", false); }
