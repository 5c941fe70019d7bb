#include "platform/code_pages.h"

#include <windows.h>

namespace platform {
namespace {

// The code-page services are bound by name at first use, from kernel32.
template <typename Function>
Function BindKernel32(const char* name) {
  FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

int MultiByteToWideChar(unsigned codePage, unsigned long flags, const char* multiByte,
                        int multiByteLength, char16_t* wide, int wideLength) {
  static const auto bound = BindKernel32<decltype(&::MultiByteToWideChar)>("MultiByteToWideChar");
  if (bound == nullptr) return 0;
  return bound(codePage, flags, multiByte, multiByteLength, reinterpret_cast<LPWSTR>(wide),
               wideLength);
}

int WideCharToMultiByte(unsigned codePage, unsigned long flags, const char16_t* wide,
                        int wideLength, char* multiByte, int multiByteLength,
                        const char* defaultChar, int* usedDefaultChar) {
  static const auto bound = BindKernel32<decltype(&::WideCharToMultiByte)>("WideCharToMultiByte");
  if (bound == nullptr) return 0;
  BOOL usedDefault = FALSE;
  const int result =
      bound(codePage, flags, reinterpret_cast<LPCWSTR>(wide), wideLength, multiByte,
            multiByteLength, defaultChar, usedDefaultChar != nullptr ? &usedDefault : nullptr);
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault;
  return result;
}

int LCMapStringA(unsigned long locale, unsigned long flags, const char* source, int sourceLength,
                 char* destination, int destinationLength) {
  static const auto bound = BindKernel32<decltype(&::LCMapStringA)>("LCMapStringA");
  if (bound == nullptr) return 0;
  return bound(locale, flags, source, sourceLength, destination, destinationLength);
}

}  // namespace platform
