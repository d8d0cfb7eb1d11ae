#include "services/com_object.h"

#include <span>
#include <string>
#include <vector>

#include "frame/com_instance.h"
#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "frame/frame_services.h"
#include "frame/gbk.h"
#include "frame/gbk_wide.h"
#include "frame/system_library.h"
#include "services/com_owners.h"
#include "services/com_values.h"

namespace services {
namespace {

thread_local int32_t t_last_automation_error = 0;

enum class DispatchKind { kMethod, kPut };

ObjectRecord* record_of(const ServiceArguments& args) {
  if (!args.present(0)) return nullptr;
  const TypedValue variable = dereferenced(args.at(0));
  return reinterpret_cast<ObjectRecord*>(static_cast<uintptr_t>(variable.low));
}

// ---- creation ----

bool names_a_backslash(std::string_view file) { return frame::last_backslash(file) != std::string_view::npos; }

// '/' and ':' lie below GBK's trail bytes; a backslash may be one.
bool names_a_folder(std::string_view file) {
  return names_a_backslash(file) || file.find_first_of("/:") != std::string_view::npos;
}

// A type library named without a folder is taken from the system directory when it
// is there, as wshom.ocx is, and otherwise from the program's folder, both by full
// path. By a bare name, LoadTypeLibEx would look in the program's folder and the
// current folder first, and an installer started from a downloads folder would read
// whatever anyone put there under that name.
std::wstring type_library_path(std::string_view file) {
  const std::wstring name = frame::wide_from_gbk(file);
  if (names_a_folder(file)) return name;
  const std::wstring in_system = frame::system_directory() + L"\\" + name;
  if (GetFileAttributesW(in_system.c_str()) != INVALID_FILE_ATTRIBUTES) return in_system;
  return frame::wide_from_gbk(frame::program_folder()) + L"\\" + name;
}

com_ptr<IUnknown> instance_from_type_library(std::string_view class_name, std::string_view file) {
  const std::wstring wide_file = type_library_path(file);
  com_ptr<ITypeLib> library;
  // LoadTypeLib would register a library named without a folder on its own; only the
  // full-path rule below may register one.
  if (FAILED(LoadTypeLibEx(wide_file.c_str(), REGKIND_NONE, library.put()))) return {};
  std::wstring name = frame::wide_from_gbk(class_name);
  const ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), name.c_str());
  ITypeInfo* found_info = nullptr;
  MEMBERID member = 0;
  USHORT found = 1;
  if (FAILED(library->FindName(name.data(), hash, &found_info, &member, &found)) || found != 1) return {};
  const auto info = com_ptr<ITypeInfo>::attach(found_info);
  com_ptr<IUnknown> object;
  if (FAILED(info->CreateInstance(nullptr, IID_IUnknown, object.put_void()))) return {};
  // Only a library its caller named by its full path can be registered where others
  // find it.
  if (names_a_backslash(file)) RegisterTypeLib(library.get(), const_cast<LPOLESTR>(wide_file.c_str()), nullptr);
  return object;
}

// ---- binding ----

// What ITypeComp::Bind gave, handed back to the type description it came from.
class BoundMember {
 public:
  BoundMember() = default;
  BoundMember(const BoundMember&) = delete;
  BoundMember& operator=(const BoundMember&) = delete;
  ~BoundMember() { release(); }

  bool bind(ITypeComp* compiler, LPOLESTR name, ULONG hash, WORD invoke_kind) {
    release();
    ITypeInfo* info = nullptr;
    if (FAILED(compiler->Bind(name, hash, invoke_kind, &info, &kind_, &bound_))) kind_ = DESCKIND_NONE;
    info_ = com_ptr<ITypeInfo>::attach(info);
    return kind_ != DESCKIND_NONE;
  }

  ITypeInfo* info() const { return info_.get(); }
  const FUNCDESC* function() const { return kind_ == DESCKIND_FUNCDESC ? bound_.lpfuncdesc : nullptr; }
  const VARDESC* variable() const {
    return kind_ == DESCKIND_VARDESC || kind_ == DESCKIND_IMPLICITAPPOBJ ? bound_.lpvardesc : nullptr;
  }

 private:
  void release() {
    if (kind_ == DESCKIND_FUNCDESC) info_->ReleaseFuncDesc(bound_.lpfuncdesc);
    if (kind_ == DESCKIND_VARDESC || kind_ == DESCKIND_IMPLICITAPPOBJ) info_->ReleaseVarDesc(bound_.lpvardesc);
    if (kind_ == DESCKIND_TYPECOMP) bound_.lptcomp->Release();
    kind_ = DESCKIND_NONE;
    info_.reset();
  }

  com_ptr<ITypeInfo> info_;
  DESCKIND kind_ = DESCKIND_NONE;
  BINDPTR bound_{};
};

// A bound member as the dispatcher uses it, whether a function or a variable.
struct Member {
  MEMBERID id = DISPID_UNKNOWN;
  WORD flags = 0;
  std::vector<ELEMDESC> parameters;
  bool parameter_array = false;

  const ELEMDESC& parameter(size_t index) const {
    return parameters[index < parameters.size() ? index : parameters.size() - 1];
  }
};

bool is_object_or_array(const TYPEDESC& type) {
  return type.vt == VT_UNKNOWN || type.vt == VT_DISPATCH || type.vt == VT_SAFEARRAY || type.vt == VT_CARRAY;
}

Member member_of_function(const FUNCDESC& function) {
  Member member{function.memid, static_cast<WORD>(function.invkind), {}, false};
  member.parameters.assign(function.lprgelemdescParam, function.lprgelemdescParam + function.cParams);
  member.parameter_array = function.cParamsOpt == -1 && function.cParams >= 1;
  return member;
}

Member member_of_variable(const VARDESC& variable, DispatchKind kind) {
  if (kind == DispatchKind::kMethod) return {variable.memid, DISPATCH_PROPERTYGET, {}, false};
  const WORD flags = is_object_or_array(variable.elemdescVar.tdesc) ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  return {variable.memid, flags, {variable.elemdescVar}, false};
}

std::span<const WORD> invoke_kinds(DispatchKind kind) {
  static constexpr WORD kMethodKinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
  static constexpr WORD kPutKinds[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
  if (kind == DispatchKind::kMethod) return kMethodKinds;
  return kPutKinds;
}

// The VARTYPE a parameter's type description asks for.
VARTYPE expected_type(ITypeInfo* info, const TYPEDESC& type);

VARTYPE user_defined_type(ITypeInfo* info, HREFTYPE reference) {
  com_ptr<ITypeInfo> referred;
  if (FAILED(info->GetRefTypeInfo(reference, referred.put()))) return VT_UNKNOWN;
  const TypeAttributes attributes(referred.get());
  if (attributes.get() == nullptr) return VT_UNKNOWN;
  switch (attributes.get()->typekind) {
    case TKIND_ENUM:
      return VT_I4;
    case TKIND_DISPATCH:
      return VT_DISPATCH;
    case TKIND_ALIAS:
      return expected_type(referred.get(), attributes.get()->tdescAlias);
    default:
      return VT_UNKNOWN;
  }
}

VARTYPE expected_type(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_INT:
      return VT_I4;
    case VT_UINT:
      return VT_UI4;
    case VT_PTR:
      return expected_type(info, *type.lptdesc) | VT_BYREF;
    case VT_SAFEARRAY:
      return expected_type(info, *type.lptdesc) | VT_ARRAY;
    case VT_CARRAY:
      return expected_type(info, type.lpadesc->tdescElem) | VT_ARRAY;
    case VT_USERDEFINED:
      return user_defined_type(info, type.hreftype);
    default:
      return type.vt;
  }
}

// ---- arguments ----

// Builds a by-reference parameter's value in its shadow slot and points the argument
// at it; what cannot be referenced is passed directly.
void reference_shadow(VARTYPE expected, VARIANT& shadow, VARIANT& argument) {
  const VARTYPE base = expected & ~VT_BYREF;
  if (base == VT_VARIANT) {
    V_VT(&argument) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&argument) = &shadow;
  } else if ((base & VT_ARRAY) != 0 && (V_VT(&shadow) & VT_ARRAY) != 0) {
    V_VT(&argument) = V_VT(&shadow) | VT_BYREF;
    V_ARRAYREF(&argument) = &V_ARRAY(&shadow);
  } else if (V_VT(&shadow) != VT_RECORD && V_VT(&shadow) != VT_ERROR &&
             SUCCEEDED(VariantChangeType(&shadow, &shadow, 0, base))) {
    V_VT(&argument) = base | VT_BYREF;
    V_BYREF(&argument) = &V_UI1(&shadow);
  } else {
    argument = shadow;
    VariantInit(&shadow);
  }
}

bool holds_record(const TypedValue& value, const void* data) {
  const TypedValue plain = dereferenced(value);
  if (plain.type != kTypeObject) return false;
  const auto* record = reinterpret_cast<const ObjectRecord*>(static_cast<uintptr_t>(plain.low));
  return record != nullptr && record->record_data == data;
}

// A record an object variable holds is lent to Invoke, not given: clearing its VARIANT
// would clear the record's fields under the caller. When the call ends each such
// VARIANT gives back only the IRecordInfo reference it took.
class LentRecords {
 public:
  LentRecords(std::span<const TypedValue> values, VariantArray& arguments, VariantArray& shadows)
      : values_(values), arguments_(arguments), shadows_(shadows) {}
  LentRecords(const LentRecords&) = delete;
  LentRecords& operator=(const LentRecords&) = delete;
  ~LentRecords() {
    take_back(arguments_);
    take_back(shadows_);
  }

 private:
  bool lent(const void* data) const {
    for (const TypedValue& value : values_) {
      if (holds_record(value, data)) return true;
    }
    return false;
  }

  void take_back(VariantArray& variants) const {
    for (size_t index = 0; index < variants.size(); ++index) {
      VARIANT& variant = variants[index];
      if (V_VT(&variant) != VT_RECORD || !lent(V_RECORD(&variant))) continue;
      V_RECORDINFO(&variant)->Release();
      VariantInit(&variant);
    }
  }

  std::span<const TypedValue> values_;
  VariantArray& arguments_;
  VariantArray& shadows_;
};

int32_t build_arguments(ITypeInfo* info, const Member& member, std::span<const TypedValue> values,
                        VariantArray& arguments, VariantArray& shadows) {
  for (size_t index = 0; index < values.size(); ++index) {
    const size_t slot = values.size() - 1 - index;
    const VARTYPE expected = expected_type(info, member.parameter(index).tdesc);
    const bool by_reference = (expected & VT_BYREF) != 0;
    VARIANT& built = by_reference ? shadows[slot] : arguments[slot];
    if (!variant_of_value(dereferenced(values[index]), expected & ~VT_BYREF, &built)) return kUnsupportedArgument;
    if (by_reference) reference_shadow(expected, shadows[slot], arguments[slot]);
  }
  return kAutomationOk;
}

bool writes_back(const Member& member, size_t index, const TypedValue& value, const VARIANT& argument) {
  const USHORT flags = member.parameter(index).paramdesc.wParamFlags;
  return (V_VT(&argument) & VT_BYREF) != 0 && (flags & PARAMFLAG_FOUT) != 0 && (value.type & kByReference) != 0;
}

void write_back_outputs(const Member& member, std::span<const TypedValue> values, VariantArray& arguments) {
  for (size_t index = 0; index < values.size(); ++index) {
    VARIANT& argument = arguments[values.size() - 1 - index];
    if (!writes_back(member, index, values[index], argument)) continue;
    Variant plain;
    if (FAILED(VariantCopyInd(plain.get(), &argument))) continue;
    const auto value = value_of_variant(*plain.get(), values[index].type & ~kByReference);
    if (value) write_back(values[index], *value);
  }
}

int32_t error_of_invoke(HRESULT result) {
  switch (result) {
    case DISP_E_BADPARAMCOUNT:
      return kBadParamCount;
    case DISP_E_BADVARTYPE:
      return kBadVarType;
    case DISP_E_EXCEPTION:
      return kException;
    case DISP_E_MEMBERNOTFOUND:
      return kMemberNotFound;
    case DISP_E_NONAMEDARGS:
      return kNoNamedArgs;
    case DISP_E_OVERFLOW:
      return kOverflow;
    case DISP_E_PARAMNOTFOUND:
      return kParamNotFound;
    case DISP_E_TYPEMISMATCH:
      return kTypeMismatch;
    case DISP_E_PARAMNOTOPTIONAL:
      return kParamNotOptional;
    default:
      return kInvokeFailed;
  }
}

// ---- the dispatcher ----

std::span<const TypedValue> without_trailing_omitted(std::span<const TypedValue> values) {
  while (!values.empty() && values.back().omitted()) values = values.first(values.size() - 1);
  return values;
}

struct Dispatch {
  com_ptr<IDispatch> dispatch;
  com_ptr<ITypeComp> compiler;
  BoundMember bound;
  Member member;
};

int32_t bind_member(IUnknown* object, std::string_view name, DispatchKind kind, Dispatch& call) {
  if (object == nullptr) return kObjectEmpty;
  if (FAILED(object->QueryInterface(IID_IDispatch, call.dispatch.put_void()))) return kNoDispatch;
  com_ptr<ITypeInfo> info;
  if (FAILED(call.dispatch->GetTypeInfo(0, GetUserDefaultLCID(), info.put())) ||
      FAILED(info->GetTypeComp(call.compiler.put()))) {
    return kNoTypeInformation;
  }
  std::wstring wide_name = frame::wide_from_gbk(name);
  const ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), wide_name.c_str());
  for (const WORD invoke_kind : invoke_kinds(kind)) {
    if (call.bound.bind(call.compiler.get(), wide_name.data(), hash, invoke_kind)) break;
  }
  if (const FUNCDESC* function = call.bound.function()) {
    call.member = member_of_function(*function);
  } else if (const VARDESC* variable = call.bound.variable()) {
    call.member = member_of_variable(*variable, kind);
  } else {
    return kNameNotFound;
  }
  return kAutomationOk;
}

int32_t invoke_member(Dispatch& call, std::span<const TypedValue> values, uint32_t result_type, TypedValue& result) {
  const Member& member = call.member;
  if (values.size() > member.parameters.size() && !member.parameter_array) return kTooManyArguments;
  VariantArray arguments(values.size());
  VariantArray shadows(values.size());
  const LentRecords lent_records(values, arguments, shadows);
  if (const int32_t built = build_arguments(call.bound.info(), member, values, arguments, shadows)) return built;
  DISPID property_put = DISPID_PROPERTYPUT;
  const bool is_put = (member.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS parameters{arguments.data(), is_put ? &property_put : nullptr, static_cast<UINT>(values.size()),
                        is_put ? 1u : 0u};
  Variant answer;
  UINT argument_error = 0;
  const HRESULT invoked = call.dispatch->Invoke(member.id, IID_NULL, GetUserDefaultLCID(), member.flags, &parameters,
                                                answer.get(), nullptr, &argument_error);
  if (FAILED(invoked)) return error_of_invoke(invoked);
  write_back_outputs(member, values, arguments);
  if (result_type == frame::kTypeNone) return kAutomationOk;
  const auto converted = value_of_variant(*answer.get(), result_type);
  if (!converted) return kResultNotConvertible;
  result = *converted;
  return kAutomationOk;
}

int32_t dispatch(const ObjectRecord* record, std::string_view name, std::span<const TypedValue> values,
                 DispatchKind kind, uint32_t result_type, TypedValue& result) {
  Dispatch call;
  int32_t error = bind_member(record != nullptr ? record->object : nullptr, name, kind, call);
  if (error == kAutomationOk) error = invoke_member(call, without_trailing_omitted(values), result_type, result);
  t_last_automation_error = error;
  return error;
}

std::span<const TypedValue> values_after_name(uint32_t count, const TypedValue* arguments) {
  if (count <= 2) return {};
  return {arguments + 2, count - 2};
}

}  // namespace

int32_t last_automation_error() { return t_last_automation_error; }

TypedValue create_object_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    ObjectRecord* record = record_of(args);
    const std::string_view class_name = args.text(1);
    com_ptr<IUnknown> object;
    if (!class_name.starts_with('{') && count >= 3 && args.present(2)) {
      object = instance_from_type_library(class_name, args.text(2));
    }
    if (!object) object = frame::instance_from_class(class_name);
    if (!object || record == nullptr || FAILED(OleRun(object.get()))) return TypedValue::of_bool(false);
    clear_object_record(*record);
    record->object = object.detach();
    return TypedValue::of_bool(true);
  });
}

TypedValue object_method_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    TypedValue result;
    if (dispatch(record_of(args), args.text(1), values_after_name(count, arguments), DispatchKind::kMethod, kTypeObject,
                 result) != kAutomationOk) {
      result = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(new_object_record(nullptr))), 0, kTypeObject};
    }
    return result;
  });
}

TypedValue write_property_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    TypedValue unused;
    const int32_t error =
        dispatch(record_of(args), args.text(1), values_after_name(count, arguments), DispatchKind::kPut, 0, unused);
    return TypedValue::of_bool(error == kAutomationOk);
  });
}

TypedValue clear_object_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    if (ObjectRecord* record = record_of(args)) clear_object_record(*record);
    return no_result();
  });
}

TypedValue object_empty_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const ObjectRecord* record = record_of(args);
    return TypedValue::of_bool(record == nullptr || record->object == nullptr);
  });
}

}  // namespace services
