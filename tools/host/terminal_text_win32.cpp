#include <windows.h>

#include "terminal_text.h"

namespace {

std::string Convert(const std::string& in, UINT from, UINT to) {
  if (in.empty()) return in;
  const int inLength = static_cast<int>(in.size());
  const int wideLength = MultiByteToWideChar(from, 0, in.data(), inLength, nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(from, 0, in.data(), inLength, wide.data(), wideLength);
  const int outLength =
      WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(outLength), '\0');
  WideCharToMultiByte(to, 0, wide.data(), wideLength, out.data(), outLength, nullptr, nullptr);
  return out;
}

}  // namespace

std::string Utf8ToGbk(const std::string& utf8) { return Convert(utf8, CP_UTF8, 936); }

std::string GbkToUtf8(const std::string& gbk) { return Convert(gbk, 936, CP_UTF8); }
