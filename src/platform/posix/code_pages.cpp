// The Linux stand-in for the code-page services: glibc's iconv for the code
// pages, OpenCC for the traditional-to-simplified table. The system ANSI code
// page of the stand-in is 936.
#include "platform/code_pages.h"

#include <iconv.h>
#include <opencc/Config.hpp>
#include <opencc/Converter.hpp>

#include "platform/posix/windows_code_page_tables.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
namespace {

static_assert(std::endian::native == std::endian::little,
              "UTF-16 units are handed to iconv as UTF-16LE bytes");

constexpr char16_t kReplacementCharacter = 0xFFFD;
// What a byte that is no character of 936 or 950 becomes, as on Windows.
constexpr char16_t kDbcsDefaultUnicode = u'?';
constexpr std::string_view kDbcsDefaultChar = "?";
constexpr std::string_view kUtf8ReplacementBytes = "\xEF\xBF\xBD";  // U+FFFD

// The system ANSI code page of the stand-in is 936.
unsigned ActualCodePage(unsigned codePage) {
  return codePage == kCodePageAnsi ? kCodePageGbk : codePage;
}

// glibc's name of a code page the stand-in knows, or null.
const char* IconvName(unsigned codePage) {
  switch (codePage) {
    case kCodePageGbk:
      return "CP936";
    case kCodePageBig5:
      return "CP950";
    case kCodePageUtf8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// Where a conversion's bytes go: they are counted, and copied into the
// destination while it has room, so that measuring needs no buffer at all.
class Output {
 public:
  Output(char* destination, std::size_t capacity)
      : destination_(destination), capacity_(capacity) {}

  void Append(std::string_view bytes) {
    Write(bytes.size(), [bytes](char* to) { std::memcpy(to, bytes.data(), bytes.size()); });
  }

  // Lets `fill(to)` write the next `size` bytes in place, when they fit.
  template <typename Fill>
  void Write(std::size_t size, Fill fill) {
    if (destination_ != nullptr && written_ + size <= capacity_) {
      fill(destination_ + written_);
    } else if (destination_ != nullptr) {
      overflowed_ = true;
    }
    written_ += size;
  }

  // Whether the bytes are only counted, so that a conversion may count them
  // without producing them.
  bool CountsOnly() const { return destination_ == nullptr; }

  // Where the next bytes go when the destination has room for `size` more,
  // for a conversion that writes them in place; null otherwise.
  char* RoomFor(std::size_t size) {
    return destination_ != nullptr && written_ + size <= capacity_ ? destination_ + written_
                                                                   : nullptr;
  }

  // Counts `size` bytes written in place through RoomFor or, while
  // CountsOnly, bytes that go nowhere.
  void Advance(std::size_t size) { written_ += size; }

  std::size_t Written() const { return written_; }
  bool Overflowed() const { return overflowed_; }

 private:
  char* destination_;
  std::size_t capacity_;
  std::size_t written_ = 0;
  bool overflowed_ = false;
};

bool IsDbcsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Second bytes 0x40-0x7E come first in both double-byte code pages; GBK
// goes on with 0x80-0xFE, Big5 with 0xA1-0xFE.
constexpr unsigned kLowTrailCount = 0x7F - 0x40;

unsigned HighTrailStart(unsigned codePage) { return codePage == kCodePageGbk ? 0x80 : 0xA1; }

long TrailsPerLead(unsigned codePage) { return kLowTrailCount + (0xFF - HighTrailStart(codePage)); }

// The place of a double-byte code in the code page's order of codes: lead
// byte, then the valid second bytes; -1 for no valid code.
long DbcsCodePosition(unsigned codePage, unsigned code) {
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFF;
  if (!IsDbcsLeadByte(static_cast<unsigned char>(lead))) return -1;
  long trailIndex = -1;
  if (trail >= 0x40 && trail <= 0x7E) {
    trailIndex = trail - 0x40;
  } else if (trail >= HighTrailStart(codePage) && trail <= 0xFE) {
    trailIndex = kLowTrailCount + (trail - HighTrailStart(codePage));
  }
  if (trailIndex < 0) return -1;
  return static_cast<long>(lead - 0x81) * TrailsPerLead(codePage) + trailIndex;
}

// The code at `position` in the code page's order of double-byte codes.
unsigned DbcsCodeAt(unsigned codePage, long position) {
  const auto lead = static_cast<unsigned>(0x81 + position / TrailsPerLead(codePage));
  const auto trailIndex = static_cast<unsigned>(position % TrailsPerLead(codePage));
  const unsigned trail = trailIndex < kLowTrailCount
                             ? 0x40 + trailIndex
                             : HighTrailStart(codePage) + (trailIndex - kLowTrailCount);
  return (lead << 8) | trail;
}

struct UserDefinedCode {
  char16_t unit = 0;
  std::size_t length = 0;  // bytes of the code; 0 when there is none
};

// The private-use unit Windows reads the code at the start of `rest` as,
// where glibc reads none.
UserDefinedCode UserDefinedUnit(unsigned codePage, std::string_view rest) {
  const auto first = static_cast<unsigned char>(rest[0]);
  const long position =
      rest.size() > 1
          ? DbcsCodePosition(codePage, (first << 8) | static_cast<unsigned char>(rest[1]))
          : -1;
  for (std::size_t k = 0; k < kUserDefinedRunCount; ++k) {
    const UserDefinedRun& run = kUserDefinedRuns[k];
    if (run.codePage != codePage) continue;
    if (run.firstCode <= 0xFF) {
      if (run.firstCode == first) return {run.firstUnit, 1};
      continue;
    }
    const long firstPosition = DbcsCodePosition(codePage, run.firstCode);
    if (position >= firstPosition && position < firstPosition + run.count) {
      return {static_cast<char16_t>(run.firstUnit + (position - firstPosition)), 2};
    }
  }
  return {};
}

// The code Windows writes `unit` as where glibc writes none or another one;
// 0 when the two agree.
unsigned WindowsCodeFor(unsigned codePage, char16_t unit) {
  const WindowsCode* end = kWindowsCodes + kWindowsCodeCount;
  const WindowsCode* found = std::lower_bound(
      kWindowsCodes, end, WindowsCode{static_cast<unsigned short>(codePage), unit, 0, false},
      [](const WindowsCode& a, const WindowsCode& b) {
        return a.codePage != b.codePage ? a.codePage < b.codePage : a.unit < b.unit;
      });
  if (found != end && found->codePage == codePage && found->unit == unit) return found->code;
  for (std::size_t k = 0; k < kUserDefinedRunCount; ++k) {
    const UserDefinedRun& run = kUserDefinedRuns[k];
    if (run.codePage != codePage || unit < run.firstUnit || unit >= run.firstUnit + run.count)
      continue;
    if (run.firstCode <= 0xFF) return run.firstCode;
    return DbcsCodeAt(codePage, DbcsCodePosition(codePage, run.firstCode) + (unit - run.firstUnit));
  }
  return 0;
}

// The units for which Windows chooses another code than glibc does.
const std::u16string& UnitsWindowsWritesOtherwise(unsigned codePage) {
  static const auto collect = [](unsigned page) {
    std::u16string units;
    for (std::size_t k = 0; k < kWindowsCodeCount; ++k) {
      if (kWindowsCodes[k].codePage == page && kWindowsCodes[k].glibcHasAnother) {
        units.push_back(kWindowsCodes[k].unit);
      }
    }
    return units;
  };
  static const std::u16string gbk = collect(kCodePageGbk);
  static const std::u16string big5 = collect(kCodePageBig5);
  static const std::u16string none;
  if (codePage == kCodePageGbk) return gbk;
  if (codePage == kCodePageBig5) return big5;
  return none;
}

void AppendCode(Output& out, unsigned code) {
  const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  out.Append(code > 0xFF ? std::string_view(bytes, 2) : std::string_view(bytes + 1, 1));
}

// One iconv conversion descriptor, closed with its owner.
class IconvHandle {
 public:
  // A null name, a code page the stand-in does not know, leaves it closed.
  IconvHandle(const char* to, const char* from)
      : handle_(to != nullptr && from != nullptr ? iconv_open(to, from)
                                                 : reinterpret_cast<iconv_t>(-1)) {}
  ~IconvHandle() {
    if (IsOpen()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `input` into `out`. Where iconv cannot go on,
  // `replace(rest, out)` appends the replacement for the start of `rest` and
  // returns how many bytes of it the replacement stands for (at least 1).
  template <typename Replace>
  void Convert(std::string_view input, Replace replace, Output& out) const {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char chunk[1 << 14];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
      char* next = chunk;
      std::size_t chunkLeft = sizeof chunk;
      const std::size_t status = iconv(handle_, &in, &inLeft, &next, &chunkLeft);
      out.Append(std::string_view(chunk, sizeof chunk - chunkLeft));
      if (status != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      const std::size_t skipped = replace(std::string_view(in, inLeft), out);
      in += skipped;
      inLeft -= skipped;
    }
  }

  // All of `input` converted, as one string.
  template <typename Replace>
  std::string Convert(std::string_view input, Replace replace) const {
    Output measure(nullptr, 0);
    Convert(input, replace, measure);
    std::string out(measure.Written(), '\0');
    Output fill(out.data(), out.size());
    Convert(input, replace, fill);
    return out;
  }

 private:
  iconv_t handle_;
};

// The calling thread's own converter from `from` to `to`, opened at its first
// use and kept for the thread's life: opening one costs more than converting a
// short text, and a descriptor must not be shared between threads. Every
// conversion resets its state first, so nothing carries over from the last
// one, not even a sequence it stopped in. A null name gives a closed converter.
const IconvHandle& ThreadConverter(const char* to, const char* from) {
  struct Entry {
    std::string to;
    std::string from;
    std::unique_ptr<IconvHandle> handle;
  };
  thread_local std::vector<Entry> converters;
  static const IconvHandle closed(nullptr, nullptr);
  if (to == nullptr || from == nullptr) return closed;
  for (const Entry& entry : converters) {
    if (entry.to == to && entry.from == from) return *entry.handle;
  }
  converters.push_back({to, from, std::make_unique<IconvHandle>(to, from)});
  return *converters.back().handle;
}

// Bytes a UTF-8 sequence starting with `lead` is made of, or 0 for no lead byte.
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool IsUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Whether `second` may follow `lead` in a well-formed sequence: the bytes
// after E0, ED, F0 and F4 keep out overlong forms, surrogates and what lies
// past U+10FFFF.
bool IsValidUtf8Second(unsigned char lead, unsigned char second) {
  switch (lead) {
    case 0xE0:
      return second >= 0xA0 && second <= 0xBF;
    case 0xED:
      return second >= 0x80 && second <= 0x9F;
    case 0xF0:
      return second >= 0x90 && second <= 0xBF;
    case 0xF4:
      return second >= 0x80 && second <= 0x8F;
    default:
      return IsUtf8Continuation(second);
  }
}

// How many bytes of a broken UTF-8 sequence one U+FFFD stands for, as the
// Windows side counts them: a cut sequence is one; a lead byte with a second
// byte that may not follow it takes that byte along; any other byte is one.
std::size_t SkipBrokenUtf8(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  const std::size_t length = Utf8SequenceLength(lead);
  if (length == 0 || rest.size() < 2) return 1;
  const auto second = static_cast<unsigned char>(rest[1]);
  if (!IsUtf8Continuation(second)) return 1;
  if (!IsValidUtf8Second(lead, second)) return 2;
  std::size_t skipped = 2;
  while (skipped < length && skipped < rest.size() &&
         IsUtf8Continuation(static_cast<unsigned char>(rest[skipped]))) {
    ++skipped;
  }
  return skipped;
}

// A lead byte takes the byte after it along, whatever it is, unless that is
// the terminator; any other byte stands alone.
std::size_t SkipUnknownDbcsCode(std::string_view rest) {
  const bool pair =
      IsDbcsLeadByte(static_cast<unsigned char>(rest[0])) && rest.size() > 1 && rest[1] != '\0';
  return pair ? 2 : 1;
}

void AppendUnit(Output& out, char16_t unit) {
  const char bytes[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  out.Append(std::string_view(bytes, 2));
}

// Decodes `bytes` into `out` as UTF-16LE through iconv; false for an unknown
// code page.
bool DecodeThroughIconv(unsigned codePage, std::string_view bytes, Output& out) {
  const IconvHandle& decoder = ThreadConverter("UTF-16LE", IconvName(codePage));
  if (!decoder.IsOpen()) return false;
  decoder.Convert(
      bytes,
      [codePage](std::string_view rest, Output& out) {
        if (codePage == kCodePageUtf8) {
          AppendUnit(out, kReplacementCharacter);
          return SkipBrokenUtf8(rest);
        }
        const UserDefinedCode userDefined = UserDefinedUnit(codePage, rest);
        if (userDefined.length > 0) {
          AppendUnit(out, userDefined.unit);
          return userDefined.length;
        }
        AppendUnit(out, kDbcsDefaultUnicode);
        return SkipUnknownDbcsCode(rest);
      },
      out);
  return true;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The bytes a character the code page cannot hold becomes.
std::string_view DefaultBytes(unsigned codePage, const char* defaultChar) {
  if (codePage == kCodePageUtf8) return kUtf8ReplacementBytes;
  if (defaultChar == nullptr) return kDbcsDefaultChar;
  // The first character of the given text; the empty text gives its zero byte.
  const bool pair =
      IsDbcsLeadByte(static_cast<unsigned char>(defaultChar[0])) && defaultChar[1] != '\0';
  return std::string_view(defaultChar, pair ? 2 : 1);
}

// Encodes `units` into `out` through iconv; false for an unknown code page.
bool EncodeThroughIconv(unsigned codePage, std::u16string_view units, std::string_view defaultBytes,
                        bool* usedDefault, Output& out) {
  const IconvHandle& encoder = ThreadConverter(IconvName(codePage), "UTF-16LE");
  if (!encoder.IsOpen()) return false;
  const auto replace = [&](std::string_view rest, Output& out) -> std::size_t {
    char16_t unit = 0;
    std::memcpy(&unit, rest.data(), 2);
    const unsigned windowsCode = WindowsCodeFor(codePage, unit);
    if (windowsCode != 0) {
      AppendCode(out, windowsCode);
      return 2;
    }
    out.Append(defaultBytes);
    *usedDefault = true;
    // One default character for a whole character: a surrogate pair is one.
    char16_t pair[2] = {};
    std::memcpy(pair, rest.data(), rest.size() >= 4 ? 4 : 2);
    const bool surrogatePair =
        rest.size() >= 4 && IsHighSurrogate(pair[0]) && IsLowSurrogate(pair[1]);
    return surrogatePair ? 4 : 2;
  };
  // iconv converts the stretches between the units Windows writes otherwise.
  const std::u16string& otherwise = UnitsWindowsWritesOtherwise(codePage);
  std::size_t start = 0;
  for (;;) {
    const std::size_t next =
        otherwise.empty() ? std::u16string_view::npos : units.find_first_of(otherwise, start);
    const std::u16string_view stretch = units.substr(start, next - start);
    encoder.Convert(
        std::string_view(reinterpret_cast<const char*>(stretch.data()), stretch.size() * 2),
        replace, out);
    if (next == std::u16string_view::npos) return true;
    AppendCode(out, WindowsCodeFor(codePage, units[next]));
    start = next + 1;
  }
}

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

bool HoldsSurrogate(std::u16string_view units) {
  return std::any_of(units.begin(), units.end(), IsSurrogate);
}

// A double-byte code page as tables, read once from the conversions through
// iconv above, so that they convert exactly as those do, character by
// character: iconv costs many times a table look-up per character and per
// call, and the pages converted are large. Surrogates, which no double-byte
// code page holds, are left to iconv.
class DbcsTables {
 public:
  // The tables of `codePage`; null for a page that is not double-byte, or
  // when iconv reads it otherwise than character by character.
  static const DbcsTables* For(unsigned codePage) {
    static const std::unique_ptr<const DbcsTables> gbk = Build(kCodePageGbk);
    static const std::unique_ptr<const DbcsTables> big5 = Build(kCodePageBig5);
    if (codePage == kCodePageGbk) return gbk.get();
    if (codePage == kCodePageBig5) return big5.get();
    return nullptr;
  }

  // Decodes `bytes` into `out` as UTF-16LE: a lead byte takes the byte after
  // it along unless that is the terminator; any other byte stands alone.
  void Decode(std::string_view bytes, Output& out) const {
    char16_t buffer[kBlock];
    for (std::size_t k = 0; k < bytes.size();) {
      char* room = out.RoomFor(sizeof buffer);
      char16_t* units = room != nullptr ? reinterpret_cast<char16_t*>(room) : buffer;
      std::size_t filled = 0;
      k = DecodeBlock(bytes, k, std::min(bytes.size(), k + kBlock), units, filled);
      if (room != nullptr) {
        out.Advance(filled * sizeof(char16_t));
      } else {
        out.Append(
            std::string_view(reinterpret_cast<const char*>(buffer), filled * sizeof(char16_t)));
      }
    }
  }

  // The number of units Decode gives for `bytes`: one for each character.
  static std::size_t UnitCount(std::string_view bytes) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < bytes.size();) {
      const std::size_t ascii = AsciiRunLength(bytes.substr(k));
      count += ascii;
      k += ascii;
      if (k == bytes.size()) break;
      k += StartsPair(bytes, k) ? 2 : 1;
      ++count;
    }
    return count;
  }

  // The number of bytes Encode gives for `units`, which hold no surrogate;
  // `usedDefault` as Encode sets it.
  std::size_t EncodedLength(std::u16string_view units, std::string_view defaultBytes,
                            bool* usedDefault) const {
    std::size_t length = 0;
    for (const char16_t unit : units) {
      const unsigned code = codes_[unit];
      if (code == kNoCode) *usedDefault = true;
      length += code == kNoCode ? defaultBytes.size() : code > 0xFF ? 2 : 1;
    }
    return length;
  }

  // Encodes `units` into `out`, a character the page cannot hold as
  // `defaultBytes`; false, with nothing written, when `units` holds a surrogate.
  bool Encode(std::u16string_view units, std::string_view defaultBytes, bool* usedDefault,
              Output& out) const {
    if (HoldsSurrogate(units)) return false;
    // A code is at most two bytes, and so is a default character of a
    // double-byte page (DefaultBytes).
    char buffer[2 * kBlock];
    for (std::size_t k = 0; k < units.size(); k += kBlock) {
      const std::u16string_view block = units.substr(k, kBlock);
      char* room = out.RoomFor(2 * block.size());
      const std::size_t filled =
          EncodeBlock(block, defaultBytes, usedDefault, room != nullptr ? room : buffer);
      if (room != nullptr) {
        out.Advance(filled);
      } else {
        out.Append(std::string_view(buffer, filled));
      }
    }
    return true;
  }

 private:
  // The length of the run of ASCII bytes at the start of `bytes`, read a word
  // at a time.
  static std::size_t AsciiRunLength(std::string_view bytes) {
    std::size_t k = 0;
    for (std::uint64_t word = 0; k + sizeof word <= bytes.size(); k += sizeof word) {
      std::memcpy(&word, bytes.data() + k, sizeof word);
      if ((word & 0x8080808080808080u) != 0) break;
    }
    while (k < bytes.size() && static_cast<unsigned char>(bytes[k]) < 0x80) ++k;
    return k;
  }

  // Whether the character at `k` is a lead byte with the byte after it: it
  // takes that byte along, whatever it is, unless that is the terminator.
  static bool StartsPair(std::string_view bytes, std::size_t k) {
    return IsDbcsLeadByte(static_cast<unsigned char>(bytes[k])) && k + 1 < bytes.size() &&
           bytes[k + 1] != '\0';
  }

  // Characters are converted a block at a time, straight into the output
  // when it has room for the most a block can give, else through a buffer.
  static constexpr std::size_t kBlock = 1 << 13;

  // Decodes the characters of `bytes` that start from `k` and before `end`
  // into `units` from `filled` on, at most one unit for each byte; returns
  // where the next character starts.
  std::size_t DecodeBlock(std::string_view bytes, std::size_t k, std::size_t end, char16_t* units,
                          std::size_t& filled) const {
    while (k < end) {
      // Most of a page is ASCII, which reads as itself: a run of it at once.
      const std::size_t ascii = AsciiRunLength(bytes.substr(k, end - k));
      for (std::size_t j = 0; j < ascii; ++j) {
        units[filled + j] = static_cast<unsigned char>(bytes[k + j]);
      }
      filled += ascii;
      k += ascii;
      if (k == end) break;
      const auto first = static_cast<unsigned char>(bytes[k]);
      const bool pair = StartsPair(bytes, k);
      units[filled++] = pair ? pairUnits_[(first << 8) | static_cast<unsigned char>(bytes[k + 1])]
                             : singleUnits_[first];
      k += pair ? 2 : 1;
    }
    return k;
  }

  // Encodes `units` at `to`; returns the number of bytes written.
  std::size_t EncodeBlock(std::u16string_view units, std::string_view defaultBytes,
                          bool* usedDefault, char* to) const {
    std::size_t filled = 0;
    for (const char16_t unit : units) {
      const unsigned code = codes_[unit];
      if (code == kNoCode) {
        std::memcpy(to + filled, defaultBytes.data(), defaultBytes.size());
        filled += defaultBytes.size();
        *usedDefault = true;
      } else if (code > 0xFF) {
        to[filled++] = static_cast<char>(code >> 8);
        to[filled++] = static_cast<char>(code & 0xFF);
      } else {
        to[filled++] = static_cast<char>(code);
      }
    }
    return filled;
  }

  // No double-byte code has 0xFF as its second byte.
  static constexpr std::uint16_t kNoCode = 0xFFFF;

  DbcsTables() : singleUnits_(0x100, 0), pairUnits_(0x10000, 0), codes_(0x10000, kNoCode) {}

  static std::unique_ptr<const DbcsTables> Build(unsigned codePage) {
    std::unique_ptr<DbcsTables> tables(new DbcsTables());
    if (!tables->ReadDecoding(codePage) || !tables->ReadEncoding(codePage)) return nullptr;
    return tables;
  }

  // The one unit iconv reads `bytes` as, or false when it reads another number.
  static bool ReadUnit(unsigned codePage, std::string_view bytes, char16_t& unit) {
    char decoded[4] = {};
    Output out(decoded, sizeof decoded);
    if (!DecodeThroughIconv(codePage, bytes, out) || out.Overflowed() || out.Written() != 2) {
      return false;
    }
    std::memcpy(&unit, decoded, 2);
    return true;
  }

  bool ReadDecoding(unsigned codePage) {
    for (unsigned first = 0; first <= 0xFF; ++first) {
      const char byte = static_cast<char>(first);
      if (!ReadUnit(codePage, std::string_view(&byte, 1), singleUnits_[first])) return false;
      // Decode reads ASCII as itself without the table.
      if (first < 0x80 && singleUnits_[first] != first) return false;
      if (!IsDbcsLeadByte(static_cast<unsigned char>(first))) continue;
      for (unsigned second = 1; second <= 0xFF; ++second) {
        const char code[2] = {byte, static_cast<char>(second)};
        if (!ReadUnit(codePage, std::string_view(code, 2), pairUnits_[(first << 8) | second])) {
          return false;
        }
      }
    }
    return true;
  }

  bool ReadEncoding(unsigned codePage) {
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
      if (IsSurrogate(static_cast<char16_t>(unit))) continue;
      const char16_t character = static_cast<char16_t>(unit);
      char bytes[4] = {};
      Output out(bytes, sizeof bytes);
      bool usedDefault = false;
      if (!EncodeThroughIconv(codePage, std::u16string_view(&character, 1), "", &usedDefault,
                              out) ||
          out.Overflowed()) {
        return false;
      }
      if (usedDefault) continue;
      if (out.Written() != 1 && out.Written() != 2) return false;
      codes_[unit] = static_cast<std::uint16_t>(out.Written() == 2
                                                    ? (static_cast<unsigned char>(bytes[0]) << 8) |
                                                          static_cast<unsigned char>(bytes[1])
                                                    : static_cast<unsigned char>(bytes[0]));
    }
    return true;
  }

  std::vector<char16_t> singleUnits_;  // a byte read alone
  std::vector<char16_t> pairUnits_;    // a lead byte and the byte after it
  std::vector<std::uint16_t> codes_;   // the code of a unit, or kNoCode
};

// Decodes `bytes` into `out` as UTF-16LE; false for an unknown code page.
bool DecodeToUtf16(unsigned codePage, std::string_view bytes, Output& out) {
  const DbcsTables* tables = DbcsTables::For(codePage);
  if (tables == nullptr) return DecodeThroughIconv(codePage, bytes, out);
  if (out.CountsOnly()) {
    out.Advance(DbcsTables::UnitCount(bytes) * sizeof(char16_t));
  } else {
    tables->Decode(bytes, out);
  }
  return true;
}

// Encodes `units` into `out`; false for an unknown code page.
bool EncodeFromUtf16(unsigned codePage, std::u16string_view units, std::string_view defaultBytes,
                     bool* usedDefault, Output& out) {
  const DbcsTables* tables = DbcsTables::For(codePage);
  if (tables != nullptr && out.CountsOnly() && !HoldsSurrogate(units)) {
    out.Advance(tables->EncodedLength(units, defaultBytes, usedDefault));
    return true;
  }
  if (tables != nullptr && tables->Encode(units, defaultBytes, usedDefault, out)) return true;
  return EncodeThroughIconv(codePage, units, defaultBytes, usedDefault, out);
}

// The input span a length argument names: -1 reaches past the terminator.
template <typename Unit>
std::basic_string_view<Unit> InputSpan(const Unit* input, int length) {
  if (input == nullptr || length == 0 || length < -1) return {};
  if (length == -1)
    return std::basic_string_view<Unit>(input, std::char_traits<Unit>::length(input) + 1);
  return std::basic_string_view<Unit>(input, static_cast<std::size_t>(length));
}

// The measure-then-convert contract: the size in units of `unitSize` bytes
// when there is no output, the count written when it fits, 0 when it does not.
template <typename Convert>
int Deliver(void* output, int outputLength, std::size_t unitSize, Convert convert) {
  const bool measureOnly = output == nullptr || outputLength == 0;
  Output out(measureOnly ? nullptr : static_cast<char*>(output),
             static_cast<std::size_t>(outputLength) * unitSize);
  if (!convert(out) || out.Overflowed()) return 0;
  return static_cast<int>(out.Written() / unitSize);
}

// The stand-in's table of traditional characters of GBK with a simplified
// form in GBK, one double-byte code to one, as the Windows table maps them.
class SimplifiedTable {
 public:
  SimplifiedTable() : map_(0x10000, 0) {
    try {
      Fill();
    } catch (...) {
      // Without OpenCC's data the stand-in maps nothing, as a failed mapping would.
      std::fill(map_.begin(), map_.end(), 0);
    }
  }

  static const SimplifiedTable& Instance() {
    static const SimplifiedTable table;
    return table;
  }

  // The simplified form of the double-byte code `code`, or `code` itself.
  std::uint16_t Map(std::uint16_t code) const { return map_[code] != 0 ? map_[code] : code; }

 private:
  void Fill() {
    // Character to character only: no phrase tables, as the Windows mapping.
    const std::string config = R"({
      "name": "Traditional to simplified, character by character",
      "segmentation": {"type": "mmseg", "dict": {"type": "ocd2", "file": "TSCharacters.ocd2"}},
      "conversion_chain": [{"dict": {"type": "ocd2", "file": "TSCharacters.ocd2"}}]
    })";
    opencc::Config loader;
    const opencc::ConverterPtr converter = loader.NewFromString(config, TAMREK_OPENCC_DATA_DIR);
    const IconvHandle toUtf8("UTF-8", "CP936");
    const IconvHandle toGbk("CP936", "UTF-8");
    if (!toUtf8.IsOpen() || !toGbk.IsOpen()) return;
    const auto fail = [](std::string_view rest, Output&) { return rest.size(); };
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::string character = toUtf8.Convert(std::string_view(code, 2), fail);
        if (character.empty()) continue;
        const std::string simplified = converter->Convert(character);
        if (simplified == character) continue;
        const std::string mapped = toGbk.Convert(simplified, fail);
        if (mapped.size() != 2 || !IsDbcsLeadByte(static_cast<unsigned char>(mapped[0]))) continue;
        map_[(lead << 8) | trail] = static_cast<std::uint16_t>(
            (static_cast<unsigned char>(mapped[0]) << 8) | static_cast<unsigned char>(mapped[1]));
      }
    }
  }

  std::vector<std::uint16_t> map_;
};

// Maps GBK text character by character into `out`; single bytes and a lead
// byte without a second byte stay as they are.
void MapGbkToSimplified(std::string_view text, Output& out) {
  const SimplifiedTable& table = SimplifiedTable::Instance();
  out.Write(text.size(), [&](char* to) {
    for (std::size_t k = 0; k < text.size(); ++k) {
      if (!IsDbcsLeadByte(static_cast<unsigned char>(text[k])) || k + 1 == text.size()) {
        to[k] = text[k];
        continue;
      }
      const auto code = static_cast<std::uint16_t>((static_cast<unsigned char>(text[k]) << 8) |
                                                   static_cast<unsigned char>(text[k + 1]));
      const std::uint16_t mapped = table.Map(code);
      to[k] = static_cast<char>(mapped >> 8);
      to[k + 1] = static_cast<char>(mapped & 0xFF);
      ++k;
    }
  });
}

}  // namespace

int MultiByteToWideChar(unsigned codePage, unsigned long flags, const char* multiByte,
                        int multiByteLength, char16_t* wide, int wideLength) {
  const std::string_view input = InputSpan(multiByte, multiByteLength);
  if (flags != 0 || input.empty() || wideLength < 0) return 0;
  return Deliver(wide, wideLength, sizeof(char16_t),
                 [&](Output& out) { return DecodeToUtf16(ActualCodePage(codePage), input, out); });
}

int WideCharToMultiByte(unsigned codePage, unsigned long flags, const char16_t* wide,
                        int wideLength, char* multiByte, int multiByteLength,
                        const char* defaultChar, int* usedDefaultChar) {
  const std::u16string_view input = InputSpan(wide, wideLength);
  if (flags != 0 || input.empty() || multiByteLength < 0) return 0;
  // UTF-8 has no default character to choose, as on Windows.
  if (codePage == kCodePageUtf8 && (defaultChar != nullptr || usedDefaultChar != nullptr)) {
    return 0;
  }
  bool usedDefault = false;
  const int result = Deliver(multiByte, multiByteLength, 1, [&](Output& out) {
    return EncodeFromUtf16(ActualCodePage(codePage), input, DefaultBytes(codePage, defaultChar),
                           &usedDefault, out);
  });
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? 1 : 0;
  return result;
}

int LCMapStringA(unsigned long locale, unsigned long flags, const char* source, int sourceLength,
                 char* destination, int destinationLength) {
  const std::string_view input = InputSpan(source, sourceLength);
  if (locale != kLocaleChinesePrc || flags != kMapSimplifiedChinese || input.empty() ||
      destinationLength < 0) {
    return 0;
  }
  return Deliver(destination, destinationLength, 1, [&](Output& out) {
    MapGbkToSimplified(input, out);
    return true;
  });
}

}  // namespace platform
