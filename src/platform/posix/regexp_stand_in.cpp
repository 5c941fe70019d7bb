// The Linux stand-in for the "VBScript.RegExp" engine, on PCRE2 with 16-bit
// code units and JIT. It keeps the members and the dialect the module relies
// on: "." stops at LF, CR, U+2028 and U+2029; the line anchors follow
// "Multiline" and letter case follows "IgnoreCase"; positions count UTF-16
// units; "Replace" understands $1-$99, $&, $`, $' and $$. It has no
// "Singleline", and every failure gives the empty value.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>
#include <mutex>
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
using CompiledPattern = std::shared_ptr<const pcre2_code>;

CompiledPattern Compile(u16string_view pattern, bool ignoreCase, bool multiline) {
  const u16string translated = TranslatePattern(pattern, multiline);
  uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                     PCRE2_ALLOW_EMPTY_CLASS | PCRE2_DOLLAR_ENDONLY;
  if (ignoreCase) options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()),
                                   translated.size(), options, &error, &errorOffset, nullptr);
  if (code == nullptr) return nullptr;
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  return CompiledPattern(code, CodeDeleter());
}

// `pattern` compiled under the options, kept for the calling thread's next run
// of the same pattern: every run builds a fresh engine, and compiling with JIT
// costs more than scanning a small page. Null for a pattern PCRE2 rejects.
// Compiled code is only read while matching, so a run may go on with it after
// the thread has compiled another.
CompiledPattern CompiledFor(u16string_view pattern, bool ignoreCase, bool multiline) {
  struct Last {
    u16string pattern;
    bool ignoreCase = false;
    bool multiline = false;
    CompiledPattern code;
  };
  thread_local Last last;
  if (last.code != nullptr && last.pattern == pattern && last.ignoreCase == ignoreCase &&
      last.multiline == multiline) {
    return last.code;
  }
  CompiledPattern code = Compile(pattern, ignoreCase, multiline);
  if (code != nullptr) last = {u16string(pattern), ignoreCase, multiline, code};
  return code;
}

// Where a match or a group lies in the subject, if it took part.
struct Span {
  std::size_t start = PCRE2_UNSET;
  std::size_t end = PCRE2_UNSET;

  bool TookPart() const { return start != PCRE2_UNSET; }
  u16string_view In(u16string_view subject) const { return subject.substr(start, end - start); }
};

// The matches of one run in order, each as its own span and one per group.
class FoundMatches {
 public:
  explicit FoundMatches(std::size_t groupCount) : groupCount_(groupCount) {}

  void Add(const PCRE2_SIZE* ovector) {
    for (std::size_t k = 0; k <= groupCount_; ++k) {
      spans_.push_back({ovector[2 * k], ovector[2 * k + 1]});
    }
  }

  std::size_t Count() const { return spans_.size() / (groupCount_ + 1); }
  std::size_t GroupCount() const { return groupCount_; }
  Span Whole(std::size_t match) const { return spans_[match * (groupCount_ + 1)]; }
  // Group `group` (1-based) of match `match`.
  Span Group(std::size_t match, std::size_t group) const {
    return spans_[match * (groupCount_ + 1) + group];
  }

 private:
  std::size_t groupCount_;
  std::vector<Span> spans_;
};

// The matches of `code` in `subject` in order: all of them, or only the first.
FoundMatches FindMatches(const pcre2_code* code, u16string_view subject, bool global) {
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  FoundMatches found(pcre2_get_ovector_count(data) - 1);
  std::size_t from = 0;
  while (from <= subject.size()) {
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                               from, 0, data, nullptr);
    if (rc <= 0) break;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    found.Add(ovector);
    if (!global) break;
    // An empty match moves the search on by one unit, as the engine does.
    from = ovector[1] + (ovector[1] == ovector[0] ? 1 : 0);
  }
  pcre2_match_data_free(data);
  return found;
}

// A copy of a subject, made in the storage of an earlier run's copy that the
// calling thread kept, when that has room: a page is then copied into memory
// already in use, not into memory the allocator first gets from the system
// and, with glibc's defaults, gives back after every run. Each thread keeps
// the largest copy it has let go of, up to kMostKeptUnits.
class SubjectCopy {
 public:
  explicit SubjectCopy(u16string_view subject) : units_(std::exchange(Kept(), u16string())) {
    units_.assign(subject);
  }
  ~SubjectCopy() {
    if (units_.capacity() <= kMostKeptUnits && units_.capacity() > Kept().capacity()) {
      Kept() = std::move(units_);
    }
  }
  SubjectCopy(const SubjectCopy&) = delete;
  SubjectCopy& operator=(const SubjectCopy&) = delete;

  u16string_view View() const { return units_; }

 private:
  static constexpr std::size_t kMostKeptUnits = std::size_t{2} << 20;

  static u16string& Kept() {
    thread_local u16string kept;
    return kept;
  }

  u16string units_;
};

// What one "Execute" found, computed once and shared by the match collection
// and every object taken from it: a copy of the subject and the matches' spans.
struct Outcome {
  Outcome(u16string_view subject, FoundMatches found) : subject(subject), found(std::move(found)) {}

  SubjectCopy subject;
  FoundMatches found;
};
using SharedOutcome = std::shared_ptr<const Outcome>;

Value TextOf(const Outcome& outcome, Span span) {
  return span.TookPart() ? Value::FromText(u16string(span.In(outcome.subject.View()))) : Value();
}

// The 0-based index an "Item" argument gives, if it is a number.
std::optional<std::size_t> ItemIndex(std::initializer_list<Value> arguments, std::size_t count) {
  if (arguments.size() != 1 || arguments.begin()->kind != Value::Kind::kNumber) return {};
  const double index = arguments.begin()->number;
  if (!(index >= 0 && index < static_cast<double>(count))) return {};
  return static_cast<std::size_t>(index);
}

// The object in `slot`, made by `make` the first time it is asked for and
// kept, so that reading the same element again builds nothing.
template <typename Make>
ObjectRef KeptObject(std::mutex& lock, ObjectRef& slot, Make make) {
  const std::lock_guard<std::mutex> hold(lock);
  if (slot.IsEmpty()) slot = make();
  return slot;
}

// The texts of one match's groups; a group that took no part is the empty value.
class SubMatches final : public AutomationObject {
 public:
  SubMatches(SharedOutcome outcome, std::size_t match)
      : outcome_(std::move(outcome)), match_(match) {}

  Value Invoke(u16string_view name, std::initializer_list<Value> arguments) override {
    const std::size_t groups = outcome_->found.GroupCount();
    if (SameName(name, u"Count")) return Value::Number(static_cast<double>(groups));
    if (!SameName(name, u"Item")) return {};
    const auto index = ItemIndex(arguments, groups);
    return index ? TextOf(*outcome_, outcome_->found.Group(match_, *index + 1)) : Value();
  }
  void Write(u16string_view, const Value&) override {}

 private:
  SharedOutcome outcome_;
  std::size_t match_;
};

class Match final : public AutomationObject {
 public:
  Match(SharedOutcome outcome, std::size_t match) : outcome_(std::move(outcome)), match_(match) {}

  Value Invoke(u16string_view name, std::initializer_list<Value>) override {
    const Span whole = outcome_->found.Whole(match_);
    if (SameName(name, u"Value")) return TextOf(*outcome_, whole);
    if (SameName(name, u"FirstIndex")) return Value::Number(static_cast<double>(whole.start));
    if (SameName(name, u"Length"))
      return Value::Number(static_cast<double>(whole.end - whole.start));
    if (SameName(name, u"SubMatches")) {
      return Value::FromObject(KeptObject(lock_, subMatches_, [this] {
        return ObjectRef::Adopt(new SubMatches(outcome_, match_));
      }));
    }
    return {};
  }
  void Write(u16string_view, const Value&) override {}

 private:
  SharedOutcome outcome_;
  std::size_t match_;
  std::mutex lock_;
  ObjectRef subMatches_;
};

class MatchCollection final : public AutomationObject {
 public:
  explicit MatchCollection(SharedOutcome outcome)
      : outcome_(std::move(outcome)), matches_(outcome_->found.Count()) {}

  Value Invoke(u16string_view name, std::initializer_list<Value> arguments) override {
    if (SameName(name, u"Count")) return Value::Number(static_cast<double>(matches_.size()));
    if (!SameName(name, u"Item")) return {};
    const auto index = ItemIndex(arguments, matches_.size());
    if (!index) return {};
    return Value::FromObject(KeptObject(
        lock_, matches_[*index], [&] { return ObjectRef::Adopt(new Match(outcome_, *index)); }));
  }
  void Write(u16string_view, const Value&) override {}

 private:
  SharedOutcome outcome_;
  std::mutex lock_;
  std::vector<ObjectRef> matches_;
};

// `replacement` for match `match`, its $ forms filled in.
void AppendReplacement(u16string& out, u16string_view replacement, u16string_view subject,
                       const FoundMatches& found, std::size_t match) {
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  const std::size_t groups = found.GroupCount();
  const Span whole = found.Whole(match);
  const auto appendGroup = [&](std::size_t g) {
    const Span group = found.Group(match, g);
    if (group.TookPart()) out += group.In(subject);
  };
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t c = replacement[i];
    const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
    if (c != u'$' || next == u'\0') {
      out += c;
    } else if (next == u'$') {
      out += u'$', ++i;
    } else if (next == u'&') {
      out += whole.In(subject), ++i;
    } else if (next == u'`') {
      out += subject.substr(0, whole.start), ++i;
    } else if (next == u'\'') {
      out += subject.substr(whole.end), ++i;
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
    const CompiledPattern code = CompiledFor(pattern_, ignoreCase_, multiline_);
    if (!code) return {};
    const u16string& subject = arguments.begin()->text;
    auto outcome =
        std::make_shared<const Outcome>(subject, FindMatches(code.get(), subject, global_));
    return Value::FromObject(ObjectRef::Adopt(new MatchCollection(std::move(outcome))));
  }

  Value Replace(std::initializer_list<Value> arguments) const {
    if (arguments.size() != 2) return {};
    const Value& source = arguments.begin()[0];
    const Value& replacement = arguments.begin()[1];
    if (source.kind != Value::Kind::kText || replacement.kind != Value::Kind::kText) return {};
    const CompiledPattern code = CompiledFor(pattern_, ignoreCase_, multiline_);
    if (!code) return {};
    const FoundMatches found = FindMatches(code.get(), source.text, global_);
    u16string out;
    std::size_t done = 0;
    for (std::size_t match = 0; match < found.Count(); ++match) {
      const Span whole = found.Whole(match);
      out.append(source.text, done, whole.start - done);
      AppendReplacement(out, replacement.text, source.text, found, match);
      done = whole.end;
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
