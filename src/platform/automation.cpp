// The reference and value types of the automation seam, the same on both sides.
#include "platform/automation.h"

#include <utility>

namespace platform {

ObjectRef ObjectRef::Adopt(AutomationObject* object) {
  ObjectRef ref;
  ref.object_ = object;
  return ref;
}

ObjectRef::ObjectRef(const ObjectRef& other) : object_(other.object_) {
  if (object_ != nullptr) automation_detail::Retain(object_);
}

ObjectRef& ObjectRef::operator=(ObjectRef other) noexcept {
  std::swap(object_, other.object_);
  return *this;
}

void ObjectRef::Clear() {
  if (object_ == nullptr) return;
  automation_detail::Release(std::exchange(object_, nullptr));
}

Value Value::Truth(bool truth) {
  Value v;
  v.kind = Kind::kTruth;
  v.truth = truth;
  return v;
}

Value Value::Number(double number) {
  Value v;
  v.kind = Kind::kNumber;
  v.number = number;
  return v;
}

Value Value::FromText(std::u16string text) {
  Value v;
  v.kind = Kind::kText;
  v.text = std::move(text);
  return v;
}

Value Value::FromObject(ObjectRef object) {
  Value v;
  if (object.IsEmpty()) return v;
  v.kind = Kind::kObject;
  v.object = std::move(object);
  return v;
}

}  // namespace platform
