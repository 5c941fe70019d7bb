// Automation services: the thread's COM use, counted references to automation
// objects, creation from a ProgID, and members reached by name with a small
// general value. Every failing call gives the empty value and reports nothing:
// the callers carry on with what they get.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

// What beginning the thread's COM use gave.
enum class ComUse {
  kBegan,         // this call began it
  kAlreadyBegun,  // the thread already used COM in the same way
  kFailed,        // the thread is in another apartment, or COM cannot start
};

// Begins COM use for the calling thread (CoInitialize with no argument).
ComUse BeginComUse();

// Ends one COM use of the calling thread begun by BeginComUse.
void EndComUse();

// An automation object as each side implements it; only its address is handled here.
struct AutomationObject;

namespace automation_detail {
// One more reference to `object`, and one fewer; each side counts them its own way.
void Retain(AutomationObject* object);
void Release(AutomationObject* object);
}  // namespace automation_detail

// Either empty or holding one counted reference to an automation object.
class ObjectRef {
 public:
  ObjectRef() = default;
  // Takes over one reference that the caller already holds.
  static ObjectRef Adopt(AutomationObject* object);

  ObjectRef(const ObjectRef& other);
  ObjectRef(ObjectRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  ObjectRef& operator=(ObjectRef other) noexcept;
  ~ObjectRef() { Clear(); }

  // Releases the reference, if any, and leaves this empty.
  void Clear();
  bool IsEmpty() const { return object_ == nullptr; }
  AutomationObject* Get() const { return object_; }

 private:
  AutomationObject* object_ = nullptr;
};

// A general value crossing to or from an automation object.
struct Value {
  enum class Kind { kEmpty, kTruth, kNumber, kText, kObject };

  static Value Truth(bool truth);
  static Value Number(double number);
  static Value FromText(std::u16string text);
  static Value FromObject(ObjectRef object);

  Kind kind = Kind::kEmpty;
  bool truth = false;
  double number = 0;
  std::u16string text;  // UTF-16
  ObjectRef object;
};

// A new instance of the component registered as `progId`; empty when it cannot be created.
ObjectRef CreateObject(std::u16string_view progId);

// Writes the property `name` of `object`; a failure is ignored.
void WriteMember(const ObjectRef& object, std::u16string_view name, const Value& value);

// Reads the property `name` of `object`, or calls the method of that name,
// with `arguments` in order; the empty value when that fails.
Value InvokeMember(const ObjectRef& object, std::u16string_view name,
                   std::initializer_list<Value> arguments = {});

}  // namespace platform
