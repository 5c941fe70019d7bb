// The Linux stand-in for COM use and automation calls: objects of this process
// reached through their own Invoke and Write.
#include "platform/automation.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/posix/automation_stand_in.h"

namespace platform {
namespace {

// How many COM uses the calling thread has begun and not yet ended.
thread_local int comUses = 0;

struct Registry {
  std::mutex lock;
  std::map<std::u16string, stand_in::Factory, std::less<>> factories{
      {u"VBScript.RegExp", &stand_in::NewRegExp}};
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

ComUse BeginComUse() { return comUses++ == 0 ? ComUse::kBegan : ComUse::kAlreadyBegun; }

void EndComUse() {
  if (comUses > 0) --comUses;
}

namespace automation_detail {

void Retain(AutomationObject* object) { object->references.fetch_add(1); }

void Release(AutomationObject* object) {
  if (object->references.fetch_sub(1) == 1) delete object;
}

}  // namespace automation_detail

namespace stand_in {

void RegisterProgId(std::u16string_view progId, Factory factory) {
  Registry& registry = TheRegistry();
  const std::lock_guard<std::mutex> hold(registry.lock);
  if (factory == nullptr) {
    registry.factories.erase(std::u16string(progId));
  } else {
    registry.factories[std::u16string(progId)] = factory;
  }
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // as the callers spell the names, mostly
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace stand_in

ObjectRef CreateObject(std::u16string_view progId) {
  stand_in::Factory factory = nullptr;
  {
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> hold(registry.lock);
    const auto found = registry.factories.find(progId);
    if (found != registry.factories.end()) factory = found->second;
  }
  return factory != nullptr ? factory() : ObjectRef();
}

void WriteMember(const ObjectRef& object, std::u16string_view name, const Value& value) {
  if (!object.IsEmpty()) object.Get()->Write(name, value);
}

Value InvokeMember(const ObjectRef& object, std::u16string_view name,
                   std::initializer_list<Value> arguments) {
  return object.IsEmpty() ? Value() : object.Get()->Invoke(name, arguments);
}

}  // namespace platform
