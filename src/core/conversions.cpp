#include "core/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// 真 and 假 in code page 936.
constexpr char kTrueText[] = "\xD5\xE6";
constexpr char kFalseText[] = "\xBC\xD9";

// Full-width forms folded to the ASCII byte they stand for, 0 when `first`
// and `second` are no such form.
char FoldedFullWidth(unsigned char first, unsigned char second) {
  if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) return static_cast<char>(second - 0x80);
  if (first != 0xA1) return 0;
  switch (second) {
    case 0xA1:
      return ' ';
    case 0xAB:
      return '~';
    case 0xEE:
    case 0xEF:
      return '*';
    default:
      return 0;
  }
}

std::string FoldFullWidthForms(std::string_view t) {
  std::string out;
  out.reserve(t.size());
  std::size_t i = 0;
  while (i < t.size()) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (c < 0x80 || i + 1 == t.size()) {
      out.push_back(t[i]);
      ++i;
      continue;
    }
    const char folded = FoldedFullWidth(c, static_cast<unsigned char>(t[i + 1]));
    if (folded != 0) {
      out.push_back(folded);
    } else {
      out.append(t.substr(i, 2));
    }
    i += 2;
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsCWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t SkipDigits(std::string_view s, std::size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// Length of the decimal number (without sign) at the start of `s`: digits with
// an optional fraction, then an exponent only when it has digits. 0 for none.
std::size_t DecimalNumberLength(std::string_view s) {
  std::size_t i = SkipDigits(s, 0);
  bool hasDigits = i > 0;
  if (i < s.size() && s[i] == '.') {
    const std::size_t fractionEnd = SkipDigits(s, i + 1);
    hasDigits = hasDigits || fractionEnd > i + 1;
    i = fractionEnd;
  }
  if (!hasDigits) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    const std::size_t exponentEnd = SkipDigits(s, e);
    if (exponentEnd > e) i = exponentEnd;
  }
  return i;
}

double ParseUnsignedDecimal(std::string_view number) {
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Overflow or underflow: the C library's conversion gives HUGE_VAL or 0.
    return std::strtod(std::string(number).c_str(), nullptr);
  }
  return value;
}

}  // namespace

double ToNumber(const Text& t) {
  const std::string folded = FoldFullWidthForms(t.View());
  std::string_view s(folded);
  std::size_t i = 0;
  while (i < s.size() && IsCWhiteSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  s.remove_prefix(i);
  const std::size_t length = DecimalNumberLength(s);
  if (length == 0) return 0;
  const double value = ParseUnsignedDecimal(s.substr(0, length));
  return negative ? -value : value;
}

int TruncateToInteger(double value) {
  constexpr double kInt64Range = 9223372036854775808.0;  // 2^63
  if (!(value > -kInt64Range && value < kInt64Range)) return 0;
  const auto wide = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
  return static_cast<int>(static_cast<std::uint32_t>(wide));
}

Text ToText(int value) {
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  (void)error;
  return Text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

Text ToText(bool value) { return Text(value ? kTrueText : kFalseText); }

Text ToText(const Bytes& value) { return Text(value.View()); }
