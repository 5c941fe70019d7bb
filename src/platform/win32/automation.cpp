// COM use and automation calls on Windows: CoInitialize, creation from a
// ProgID through CLSIDFromProgID and CoCreateInstance, members reached through
// IDispatch by name. An automation object is an IDispatch interface.
#include "platform/automation.h"

#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <vector>

namespace platform {
namespace {

IDispatch* AsDispatch(AutomationObject* object) { return reinterpret_cast<IDispatch*>(object); }

AutomationObject* AsObject(IDispatch* dispatch) {
  return reinterpret_cast<AutomationObject*>(dispatch);
}

// A VARIANT that clears itself.
struct OwnedVariant {
  OwnedVariant() { VariantInit(&v); }
  ~OwnedVariant() { VariantClear(&v); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  VARIANT v;
};

// `value` as a VARIANT the callee may read; its BSTR, if any, is owned by `out`.
void ToVariant(const Value& value, OwnedVariant& out) {
  switch (value.kind) {
    case Value::Kind::kEmpty:
      break;
    case Value::Kind::kTruth:
      out.v.vt = VT_BOOL;
      out.v.boolVal = value.truth ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Value::Kind::kNumber:
      out.v.vt = VT_R8;
      out.v.dblVal = value.number;
      break;
    case Value::Kind::kText:
      out.v.vt = VT_BSTR;
      out.v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.text.data()),
                                        static_cast<UINT>(value.text.size()));
      break;
    case Value::Kind::kObject:
      out.v.vt = VT_DISPATCH;
      out.v.pdispVal = AsDispatch(value.object.Get());
      out.v.pdispVal->AddRef();
      break;
  }
}

// The general value that `variant` holds; the empty value for kinds the module has no use for.
Value FromVariant(VARIANT& variant) {
  switch (variant.vt) {
    case VT_BOOL:
      return Value::Truth(variant.boolVal != VARIANT_FALSE);
    case VT_BSTR:
      return Value::FromText(std::u16string(reinterpret_cast<const char16_t*>(variant.bstrVal),
                                            SysStringLen(variant.bstrVal)));
    case VT_DISPATCH:
      if (variant.pdispVal == nullptr) return {};
      variant.pdispVal->AddRef();
      return Value::FromObject(ObjectRef::Adopt(AsObject(variant.pdispVal)));
    case VT_UNKNOWN: {
      IDispatch* dispatch = nullptr;
      if (variant.punkVal == nullptr || FAILED(variant.punkVal->QueryInterface(
                                            IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        return {};
      }
      return Value::FromObject(ObjectRef::Adopt(AsObject(dispatch)));
    }
    default: {
      OwnedVariant number;
      if (FAILED(VariantChangeType(&number.v, &variant, 0, VT_R8))) return {};
      return Value::Number(number.v.dblVal);
    }
  }
}

// The dispatch identifier of `name` on `dispatch`, if it has such a member.
bool MemberId(IDispatch* dispatch, std::u16string_view name, DISPID& id) {
  std::u16string terminated(name);
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(terminated.data())};
  return SUCCEEDED(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

}  // namespace

ComUse BeginComUse() {
  const HRESULT result = CoInitialize(nullptr);
  if (result == S_OK) return ComUse::kBegan;
  return result == S_FALSE ? ComUse::kAlreadyBegun : ComUse::kFailed;
}

void EndComUse() { CoUninitialize(); }

namespace automation_detail {

void Retain(AutomationObject* object) { AsDispatch(object)->AddRef(); }

void Release(AutomationObject* object) { AsDispatch(object)->Release(); }

}  // namespace automation_detail

ObjectRef CreateObject(std::u16string_view progId) {
  const std::u16string terminated(progId);
  CLSID classId;
  if (FAILED(CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(terminated.c_str()), &classId))) {
    return {};
  }
  IDispatch* dispatch = nullptr;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return {};
  }
  return ObjectRef::Adopt(AsObject(dispatch));
}

void WriteMember(const ObjectRef& object, std::u16string_view name, const Value& value) {
  if (object.IsEmpty()) return;
  IDispatch* dispatch = AsDispatch(object.Get());
  DISPID id;
  if (!MemberId(dispatch, name, id)) return;
  OwnedVariant argument;
  ToVariant(value, argument);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument.v, &putId, 1, 1};
  dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                   nullptr, nullptr);
}

Value InvokeMember(const ObjectRef& object, std::u16string_view name,
                   std::initializer_list<Value> arguments) {
  if (object.IsEmpty()) return {};
  IDispatch* dispatch = AsDispatch(object.Get());
  DISPID id;
  if (!MemberId(dispatch, name, id)) return {};
  // IDispatch takes the arguments last one first.
  std::vector<OwnedVariant> variants(arguments.size());
  std::size_t slot = arguments.size();
  for (const Value& argument : arguments) ToVariant(argument, variants[--slot]);
  std::vector<VARIANT> raw;
  for (OwnedVariant& v : variants) raw.push_back(v.v);
  DISPPARAMS parameters{raw.empty() ? nullptr : raw.data(), nullptr, static_cast<UINT>(raw.size()),
                        0};
  OwnedVariant result;
  if (FAILED(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_METHOD | DISPATCH_PROPERTYGET, &parameters, &result.v,
                              nullptr, nullptr))) {
    return {};
  }
  return FromVariant(result.v);
}

}  // namespace platform
