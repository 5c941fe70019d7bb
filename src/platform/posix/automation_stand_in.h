// The Linux stand-in for automation: objects living in this process, reached
// by member name, and a ProgID registry that tests can change.
#pragma once

#include <atomic>
#include <initializer_list>
#include <string_view>

#include "platform/automation.h"

namespace platform {

// An in-process automation object. Member names compare without regard to
// ASCII letter case, as automation names do.
struct AutomationObject {
  virtual ~AutomationObject() = default;
  // Reads the property or calls the method `name`; the empty value on failure.
  virtual Value Invoke(std::u16string_view name, std::initializer_list<Value> arguments) = 0;
  // Writes the property `name`; a failure is ignored.
  virtual void Write(std::u16string_view name, const Value& value) = 0;

  std::atomic<long> references{1};
};

namespace stand_in {

// Makes a new object, holding its first reference.
using Factory = ObjectRef (*)();

// Registers `factory` under `progId`; a null factory removes the registration.
// "VBScript.RegExp" is registered from the start.
void RegisterProgId(std::u16string_view progId, Factory factory);

// The regular-expression engine answering to "VBScript.RegExp".
ObjectRef NewRegExp();

// True when `a` and `b` are the same member name.
bool SameName(std::u16string_view a, std::u16string_view b);

}  // namespace stand_in
}  // namespace platform
