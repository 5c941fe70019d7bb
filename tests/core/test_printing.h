// Helpers that make a failing check show the exact bytes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/text.h"

inline std::string Hex(std::string_view bytes) {
  std::string out;
  char byte[4];
  for (unsigned char c : bytes) {
    std::snprintf(byte, sizeof byte, "%02X ", c);
    out += byte;
  }
  return out;
}

// The bytes of a text as a string, which a failing check prints readably.
inline std::string Str(const Text& t) { return std::string(t.View()); }
