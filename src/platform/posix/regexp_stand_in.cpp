// The Linux stand-in for the "VBScript.RegExp" engine, on PCRE2 with 16-bit
// code units and JIT. It keeps the members and the dialect the module relies
// on: "." stops at LF, CR, U+2028 and U+2029; the line anchors follow
// "Multiline" and letter case follows "IgnoreCase"; positions count UTF-16
// units; "Replace" understands $1-$99, $&, $`, $' and $$. It has no
// "Singleline", and every failure gives the empty value.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/automation_stand_in.h"

namespace platform::stand_in {
namespace {

using std::u16string;
using std::u16string_view;

// What "." means to the engine, and its line anchors under "Multiline": the
// engine's line breaks are LF, CR, U+2028 and U+2029 and nothing else, which
// no PCRE2 newline mode gives exactly. Spelt for PCRE2 with \u escapes allowed.
constexpr u16string_view kAnyButLineBreak = u"[^\\n\\r\\u2028\\u2029]";
constexpr u16string_view kLineStart = u"(?<![^\\n\\r\\u2028\\u2029])";
constexpr u16string_view kLineEnd = u"(?![^\\n\\r\\u2028\\u2029])";

// `pattern` with "." outside a character class, and under `multiline` the line
// anchors, spelt out for the engine's line breaks.
u16string TranslatePattern(u16string_view pattern, bool multiline) {
  u16string out;
  out.reserve(pattern.size());
  bool inClass = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    if (c == u'\\' && i + 1 < pattern.size()) {
      out += c;
      out += pattern[++i];
    } else if (inClass) {
      out += c;
      if (c == u']') inClass = false;
    } else if (c == u'[') {
      out += c;
      inClass = true;
      if (i + 1 < pattern.size() && pattern[i + 1] == u'^') out += pattern[++i];
    } else if (c == u'.') {
      out += kAnyButLineBreak;
    } else if (multiline && c == u'^') {
      out += kLineStart;
    } else if (multiline && c == u'$') {
      out += kLineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
using CompiledPattern = std::unique_ptr<pcre2_code, CodeDeleter>;

CompiledPattern Compile(u16string_view pattern, bool ignoreCase, bool multiline) {
  const u16string translated = TranslatePattern(pattern, multiline);
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_DOLLAR_ENDONLY;
  if (ignoreCase) options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  CompiledPattern code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()),
                                     translated.size(), options, &error, &errorOffset, nullptr));
  if (code) pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
  return code;
}

// One match: where it lies and where each group lies, if it took part.
struct Found {
  std::size_t start = 0;
  std::size_t end = 0;
  std::vector<std::optional<std::pair<std::size_t, std::size_t>>> groups;
};

// The matches of `code` in `subject` in order: all of them, or only the first.
std::vector<Found> FindMatches(const pcre2_code* code, u16string_view subject, bool global) {
  std::vector<Found> found;
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  std::size_t from = 0;
  while (from <= subject.size()) {
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                               from, 0, data, nullptr);
    if (rc <= 0) break;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    Found match{ovector[0], ovector[1], {}};
    const uint32_t groupCount = pcre2_get_ovector_count(data) - 1;
    for (uint32_t g = 1; g <= groupCount; ++g) {
      if (ovector[2 * g] == PCRE2_UNSET) {
        match.groups.emplace_back();
      } else {
        match.groups.emplace_back(std::pair{ovector[2 * g], ovector[2 * g + 1]});
      }
    }
    found.push_back(std::move(match));
    if (!global) break;
    // An empty match moves the search on by one unit, as the engine does.
    from = ovector[1] + (ovector[1] == ovector[0] ? 1 : 0);
  }
  pcre2_match_data_free(data);
  return found;
}

u16string Piece(u16string_view subject, std::size_t start, std::size_t end) {
  return u16string(subject.substr(start, end - start));
}

// The 0-based index an "Item" argument gives, if it is a number.
std::optional<std::size_t> ItemIndex(std::initializer_list<Value> arguments, std::size_t count) {
  if (arguments.size() != 1 || arguments.begin()->kind != Value::Kind::kNumber) return {};
  const double index = arguments.begin()->number;
  if (!(index >= 0 && index < static_cast<double>(count))) return {};
  return static_cast<std::size_t>(index);
}

// The texts of one match's groups; a group that took no part is the empty value.
class SubMatches final : public AutomationObject {
 public:
  explicit SubMatches(std::vector<Value> values) : values_(std::move(values)) {}

  Value Invoke(u16string_view name, std::initializer_list<Value> arguments) override {
    if (SameName(name, u"Count")) return Value::Number(static_cast<double>(values_.size()));
    if (!SameName(name, u"Item")) return {};
    const auto index = ItemIndex(arguments, values_.size());
    return index ? values_[*index] : Value();
  }
  void Write(u16string_view, const Value&) override {}

 private:
  std::vector<Value> values_;
};

class Match final : public AutomationObject {
 public:
  Match(u16string_view subject, const Found& found)
      : value_(Piece(subject, found.start, found.end)), firstIndex_(found.start) {
    for (const auto& group : found.groups) {
      subMatches_.push_back(group ? Value::FromText(Piece(subject, group->first, group->second))
                                  : Value());
    }
  }

  Value Invoke(u16string_view name, std::initializer_list<Value>) override {
    if (SameName(name, u"Value")) return Value::FromText(value_);
    if (SameName(name, u"FirstIndex")) return Value::Number(static_cast<double>(firstIndex_));
    if (SameName(name, u"Length")) return Value::Number(static_cast<double>(value_.size()));
    if (SameName(name, u"SubMatches")) {
      return Value::FromObject(ObjectRef::Adopt(new SubMatches(subMatches_)));
    }
    return {};
  }
  void Write(u16string_view, const Value&) override {}

 private:
  u16string value_;
  std::size_t firstIndex_;
  std::vector<Value> subMatches_;
};

class MatchCollection final : public AutomationObject {
 public:
  MatchCollection(u16string_view subject, const std::vector<Found>& found) {
    for (const Found& match : found) {
      matches_.push_back(ObjectRef::Adopt(new Match(subject, match)));
    }
  }

  Value Invoke(u16string_view name, std::initializer_list<Value> arguments) override {
    if (SameName(name, u"Count")) return Value::Number(static_cast<double>(matches_.size()));
    if (!SameName(name, u"Item")) return {};
    const auto index = ItemIndex(arguments, matches_.size());
    return index ? Value::FromObject(matches_[*index]) : Value();
  }
  void Write(u16string_view, const Value&) override {}

 private:
  std::vector<ObjectRef> matches_;
};

// `replacement` for one match, its $ forms filled in.
void AppendReplacement(u16string& out, u16string_view replacement, u16string_view subject,
                       const Found& match) {
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  const std::size_t groups = match.groups.size();
  const auto appendGroup = [&](std::size_t g) {
    const auto& group = match.groups[g - 1];
    if (group) out += subject.substr(group->first, group->second - group->first);
  };
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t c = replacement[i];
    const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
    if (c != u'$' || next == u'\0') {
      out += c;
    } else if (next == u'$') {
      out += u'$', ++i;
    } else if (next == u'&') {
      out += subject.substr(match.start, match.end - match.start), ++i;
    } else if (next == u'`') {
      out += subject.substr(0, match.start), ++i;
    } else if (next == u'\'') {
      out += subject.substr(match.end), ++i;
    } else if (isDigit(next)) {
      const std::size_t one = next - u'0';
      const char16_t second = i + 2 < replacement.size() ? replacement[i + 2] : u'\0';
      const std::size_t two = isDigit(second) ? one * 10 + (second - u'0') : 0;
      if (two >= 1 && two <= groups) {
        appendGroup(two), i += 2;
      } else if (one >= 1 && one <= groups) {
        appendGroup(one), ++i;
      } else {
        out += c;
      }
    } else {
      out += c;
    }
  }
}

class RegExp final : public AutomationObject {
 public:
  Value Invoke(u16string_view name, std::initializer_list<Value> arguments) override {
    if (SameName(name, u"IgnoreCase")) return Value::Truth(ignoreCase_);
    if (SameName(name, u"Multiline")) return Value::Truth(multiline_);
    if (SameName(name, u"Global")) return Value::Truth(global_);
    if (SameName(name, u"Pattern")) return Value::FromText(pattern_);
    if (SameName(name, u"Execute")) return Execute(arguments);
    if (SameName(name, u"Replace")) return Replace(arguments);
    return {};
  }

  void Write(u16string_view name, const Value& value) override {
    if (SameName(name, u"Pattern")) {
      if (value.kind == Value::Kind::kText) pattern_ = value.text;
      return;
    }
    const std::optional<bool> truth = AsTruth(value);
    if (!truth) return;
    if (SameName(name, u"IgnoreCase")) ignoreCase_ = *truth;
    if (SameName(name, u"Multiline")) multiline_ = *truth;
    if (SameName(name, u"Global")) global_ = *truth;
  }

 private:
  static std::optional<bool> AsTruth(const Value& value) {
    if (value.kind == Value::Kind::kTruth) return value.truth;
    if (value.kind == Value::Kind::kNumber) return value.number != 0;
    return {};
  }

  Value Execute(std::initializer_list<Value> arguments) const {
    if (arguments.size() != 1 || arguments.begin()->kind != Value::Kind::kText) return {};
    const CompiledPattern code = Compile(pattern_, ignoreCase_, multiline_);
    if (!code) return {};
    const u16string& subject = arguments.begin()->text;
    return Value::FromObject(
        ObjectRef::Adopt(new MatchCollection(subject, FindMatches(code.get(), subject, global_))));
  }

  Value Replace(std::initializer_list<Value> arguments) const {
    if (arguments.size() != 2) return {};
    const Value& source = arguments.begin()[0];
    const Value& replacement = arguments.begin()[1];
    if (source.kind != Value::Kind::kText || replacement.kind != Value::Kind::kText) return {};
    const CompiledPattern code = Compile(pattern_, ignoreCase_, multiline_);
    if (!code) return {};
    u16string out;
    std::size_t done = 0;
    for (const Found& match : FindMatches(code.get(), source.text, global_)) {
      out.append(source.text, done, match.start - done);
      AppendReplacement(out, replacement.text, source.text, match);
      done = match.end;
    }
    out.append(source.text, done);
    return Value::FromText(std::move(out));
  }

  bool ignoreCase_ = false;
  bool multiline_ = false;
  bool global_ = false;
  u16string pattern_;
};

}  // namespace

ObjectRef NewRegExp() { return ObjectRef::Adopt(new RegExp()); }

}  // namespace platform::stand_in
