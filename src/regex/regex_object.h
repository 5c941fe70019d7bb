// One regular expression run over one text through the platform's
// "VBScript.RegExp" automation object (the engine), handing out the matches
// and their groups as texts. Every failure of the engine is silent: the
// operation carries on with the empty value and returns empty text or 0.
// An object is used on the thread that made it.
#pragma once

#include <memory>

#include "core/text.h"
#include "platform/automation.h"

class RegexObject {
 public:
  // Begins the thread's COM use; holds no engine, no matches and no subject yet.
  RegexObject();
  ~RegexObject();
  RegexObject(const RegexObject&) = delete;
  RegexObject& operator=(const RegexObject&) = delete;

  // Releases the engine, the subject and the matches, then ends the COM use
  // that construction began. Runs once; the destructor calls it if nobody did.
  void Destroy();

  // A new object sharing the engine and the matches, with its own subject and
  // its own COM use.
  std::unique_ptr<RegexObject> Clone() const;

  // Runs `pattern` over `subject` with a fresh engine and keeps the matches and
  // a copy of `subject`. True when the engine produced a match collection,
  // also one without matches.
  bool RunPattern(const Text& pattern, const Text& subject, bool caseSensitive = false,
                  bool multiline = true, bool global = true);

  void NoOperation() const {}

  // The engine's pattern; empty before any run.
  Text PatternText() const;

  // The kept subject with the matches replaced by `replacement`, in the
  // engine's syntax ($1-$99, $&, $`, $', $$).
  Text ReplaceMatches(const Text& replacement) const;

  // The number of matches of the last run.
  int MatchCount() const;

  // The text of match `index` (1-based). With `position`, also the match's
  // 0-based byte offset in the subject by the rule of PositionOf.
  Text MatchText(int index, int* position = nullptr) const;

  // The text of group `subIndex` of match `matchIndex` (both 1-based); a group
  // that took no part gives the empty text. `position` as for MatchText.
  Text SubMatchText(int matchIndex, int subIndex, int* position = nullptr) const;

  // The number of groups reported for the first match; 0 without a match.
  int SubMatchCount() const;

 private:
  RegexObject(platform::ObjectRef engine, platform::ObjectRef matches, Text subject);

  platform::ObjectRef Match(int index) const;
  int PositionOf(const platform::ObjectRef& match, const Text& text) const;

  platform::ObjectRef engine_;
  platform::ObjectRef matches_;
  Text subject_;
  bool endsComUse_ = false;
  bool destroyed_ = false;
};
