#include "regex/regex_object.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "codepage/conversions.h"

using platform::InvokeMember;
using platform::ObjectRef;
using platform::Value;
using platform::WriteMember;

namespace {

// `text` in UTF-16 from the system ANSI code page, as the engine takes texts.
std::u16string ToEngine(const Text& text) {
  if (text.IsEmpty()) return {};
  return MultiByteToUnits(text, platform::kCodePageAnsi);
}

// A text coming back from the engine, in the system ANSI code page.
Text FromEngine(const std::u16string& wide) {
  if (wide.empty()) return {};
  return UnitsToMultiByte(wide, platform::kCodePageAnsi);
}

// A general value as text: a truth value reads "-1" or "0" as automation
// converts it; every other kind but text gives the empty text.
Text ValueText(const Value& value) {
  if (value.kind == Value::Kind::kTruth) return value.truth ? "-1" : "0";
  return value.kind == Value::Kind::kText ? FromEngine(value.text) : Text();
}

// A number coming back from the engine, truncated toward zero; 0 for anything else.
int ValueInt(const Value& value) {
  if (value.kind != Value::Kind::kNumber || !std::isfinite(value.number)) return 0;
  const double truncated = std::trunc(value.number);
  if (truncated < std::numeric_limits<int>::min() || truncated > std::numeric_limits<int>::max()) {
    return 0;
  }
  return static_cast<int>(truncated);
}

ObjectRef ValueObject(Value value) { return std::move(value.object); }

}  // namespace

RegexObject::RegexObject() {
  // Only a COM use that this construction began, or joined in the same
  // apartment, may be ended again: a thread in another apartment keeps its own.
  endsComUse_ = platform::BeginComUse() != platform::ComUse::kFailed;
}

RegexObject::RegexObject(ObjectRef engine, ObjectRef matches, Text subject) : RegexObject() {
  engine_ = std::move(engine);
  matches_ = std::move(matches);
  subject_ = std::move(subject);
}

RegexObject::~RegexObject() { Destroy(); }

void RegexObject::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  engine_.Clear();
  subject_ = Text();
  matches_.Clear();
  // Last, so that no engine object outlives the thread's COM use.
  if (endsComUse_) platform::EndComUse();
}

std::unique_ptr<RegexObject> RegexObject::Clone() const {
  return std::unique_ptr<RegexObject>(new RegexObject(engine_, matches_, subject_));
}

bool RegexObject::RunPattern(const Text& pattern, const Text& subject, bool caseSensitive,
                             bool multiline, bool global) {
  engine_.Clear();
  engine_ = platform::CreateObject(u"VBScript.RegExp");
  WriteMember(engine_, u"IgnoreCase", Value::Truth(!caseSensitive));
  WriteMember(engine_, u"Multiline", Value::Truth(multiline));
  // The engine has no such member: the write fails and matching is as without it.
  WriteMember(engine_, u"Singleline", Value::Truth(true));
  WriteMember(engine_, u"Global", Value::Truth(global));
  WriteMember(engine_, u"Pattern", Value::FromText(ToEngine(pattern)));
  matches_ = ValueObject(InvokeMember(engine_, u"Execute", {Value::FromText(ToEngine(subject))}));
  subject_ = subject;
  return !matches_.IsEmpty();
}

Text RegexObject::PatternText() const {
  if (engine_.IsEmpty()) return {};
  return ValueText(InvokeMember(engine_, u"Pattern"));
}

Text RegexObject::ReplaceMatches(const Text& replacement) const {
  return ValueText(
      InvokeMember(engine_, u"Replace",
                   {Value::FromText(ToEngine(subject_)), Value::FromText(ToEngine(replacement))}));
}

int RegexObject::MatchCount() const { return ValueInt(InvokeMember(matches_, u"Count")); }

ObjectRef RegexObject::Match(int index) const {
  return ValueObject(
      InvokeMember(matches_, u"Item", {Value::Number(static_cast<double>(index) - 1)}));
}

// The byte offset of `text` in the subject, searched from the match's offset
// in characters taken as a 1-based byte position: the search starts one byte
// before the match at the latest. It ignores letter case exactly when the
// engine's "IgnoreCase" reads back as "0". -2 when nothing is found.
int RegexObject::PositionOf(const ObjectRef& match, const Text& text) const {
  const int firstIndex = ValueInt(InvokeMember(match, u"FirstIndex"));
  const bool ignoreCase = ValueText(InvokeMember(engine_, u"IgnoreCase")) == Text("0");
  return FindText(subject_, text, firstIndex, ignoreCase) - 1;
}

Text RegexObject::MatchText(int index, int* position) const {
  const ObjectRef match = Match(index);
  Text text = ValueText(InvokeMember(match, u"Value"));
  if (position != nullptr) *position = PositionOf(match, text);
  return text;
}

Text RegexObject::SubMatchText(int matchIndex, int subIndex, int* position) const {
  const ObjectRef match = Match(matchIndex);
  const ObjectRef subMatches = ValueObject(InvokeMember(match, u"SubMatches"));
  Text text = ValueText(
      InvokeMember(subMatches, u"Item", {Value::Number(static_cast<double>(subIndex) - 1)}));
  if (position != nullptr) *position = PositionOf(match, text);
  return text;
}

int RegexObject::SubMatchCount() const {
  const ObjectRef subMatches = ValueObject(InvokeMember(Match(1), u"SubMatches"));
  return ValueInt(InvokeMember(subMatches, u"Count"));
}
