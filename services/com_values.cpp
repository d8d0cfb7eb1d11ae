#include "services/com_values.h"

#include <oleauto.h>

#include <cstring>
#include <utility>

#include "frame/frame_heap.h"
#include "frame/gbk_wide.h"
#include "services/com_owners.h"

namespace services {
namespace {

using frame::TypedValue;

uint32_t base_type(uint32_t type) { return type & ~kByReference; }

bool is_eight_bytes(uint32_t type) {
  return type == frame::kTypeInt64 || type == frame::kTypeDouble || type == frame::kTypeDateTime;
}

uint32_t stored_size(uint32_t type) {
  switch (type) {
    case frame::kTypeByte:
      return 1;
    case frame::kTypeShort:
      return 2;
    default:
      return is_eight_bytes(type) ? 8 : 4;
  }
}

void* address_of(const TypedValue& reference) { return reinterpret_cast<void*>(static_cast<uintptr_t>(reference.low)); }

template <typename Plain>
Plain bits_as(uint64_t bits) {
  Plain value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

template <typename Plain>
TypedValue value_of_bits(Plain plain, uint32_t type) {
  uint64_t bits = 0;
  std::memcpy(&bits, &plain, sizeof plain);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
}

// The object argument: a record with data travels as the record, anything else as
// the interface the parameter asks for, with a reference of its own.
void variant_of_object(const ObjectRecord* record, VARTYPE expected, VARIANT* out) {
  IUnknown* object = record != nullptr ? record->object : nullptr;
  if (object != nullptr && record->record_data != nullptr) {
    object->AddRef();
    V_VT(out) = VT_RECORD;
    V_RECORDINFO(out) = static_cast<IRecordInfo*>(object);
    V_RECORD(out) = record->record_data;
    return;
  }
  if (object != nullptr && expected == VT_DISPATCH &&
      SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(out))))) {
    V_VT(out) = VT_DISPATCH;
    return;
  }
  if (object != nullptr) object->AddRef();
  V_VT(out) = VT_UNKNOWN;
  V_UNKNOWN(out) = object;
}

BSTR bstr_of(const char* text) {
  const std::wstring wide = frame::wide_from_gbk(text != nullptr ? std::string_view(text) : std::string_view());
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

TypedValue text_of_bstr(BSTR text) {
  return text_result(frame::gbk_from_wide_or_marked(
      std::wstring_view(text != nullptr ? text : L"", text != nullptr ? SysStringLen(text) : 0)));
}

TypedValue object_of_unknown(IUnknown* object) {
  return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(new_object_record(object))), 0, kTypeObject};
}

TypedValue copied_variant(const VARIANT& variant) {
  auto* copy = static_cast<VARIANT*>(frame::heap_allocate(sizeof(VARIANT)));
  VariantInit(copy);
  VariantCopy(copy, const_cast<VARIANT*>(&variant));
  return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(copy)), 0, kTypeVariant};
}

VARTYPE variant_type_for(uint32_t type) {
  switch (type) {
    case frame::kTypeByte:
      return VT_UI1;
    case frame::kTypeShort:
      return VT_I2;
    case frame::kTypeInt:
    case frame::kTypeInt64:
      return VT_I4;
    case frame::kTypeFloat:
      return VT_R4;
    case frame::kTypeDouble:
      return VT_R8;
    case frame::kTypeBool:
      return VT_BOOL;
    case frame::kTypeDateTime:
      return VT_DATE;
    case frame::kTypeText:
      return VT_BSTR;
    case kTypeObject:
      return VT_UNKNOWN;
    default:
      return VT_EMPTY;
  }
}

TypedValue value_of_converted(const VARIANT& converted, uint32_t type) {
  switch (type) {
    case frame::kTypeByte:
      return {V_UI1(&converted), 0, type};
    case frame::kTypeShort:
      return {static_cast<uint16_t>(V_I2(&converted)), 0, type};
    case frame::kTypeInt:
      return TypedValue::of_int(V_I4(&converted));
    case frame::kTypeInt64:
      return value_of_bits(int64_t{V_I4(&converted)}, type);
    case frame::kTypeFloat:
      return value_of_bits(V_R4(&converted), type);
    case frame::kTypeDouble:
      return value_of_bits(V_R8(&converted), type);
    case frame::kTypeDateTime:
      return value_of_bits(V_DATE(&converted), type);
    case frame::kTypeBool:
      return TypedValue::of_bool(V_BOOL(&converted) != 0);
    case frame::kTypeText:
      return text_of_bstr(V_BSTR(&converted));
    default:
      return object_of_unknown(V_UNKNOWN(&converted));
  }
}

void free_held_value(const TypedValue& reference) {
  void* held = *static_cast<void**>(address_of(reference));
  switch (base_type(reference.type)) {
    case frame::kTypeText:
      frame::heap_free(held);
      break;
    case kTypeObject:
      if (held != nullptr) clear_object_record(*static_cast<ObjectRecord*>(held));
      frame::heap_free(held);
      break;
    case kTypeVariant:
      if (held != nullptr) VariantClear(static_cast<VARIANT*>(held));
      frame::heap_free(held);
      break;
    default:
      break;
  }
}

}  // namespace

ObjectRecord* new_object_record(IUnknown* object) {
  auto* record = static_cast<ObjectRecord*>(frame::heap_allocate(sizeof(ObjectRecord)));
  if (object != nullptr) object->AddRef();
  *record = {object, nullptr};
  return record;
}

void clear_object_record(ObjectRecord& record) {
  if (record.object != nullptr) {
    if (record.record_data != nullptr) static_cast<IRecordInfo*>(record.object)->RecordDestroy(record.record_data);
    record.record_data = nullptr;
    std::exchange(record.object, nullptr)->Release();
  } else if (record.record_data != nullptr) {
    frame::heap_free(std::exchange(record.record_data, nullptr));
  }
}

TypedValue dereferenced(const TypedValue& value) {
  if ((value.type & kByReference) == 0) return value;
  const uint32_t type = base_type(value.type);
  uint64_t bits = 0;
  std::memcpy(&bits, address_of(value), stored_size(type));
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
}

bool variant_of_value(const TypedValue& value, VARTYPE expected, VARIANT* out) {
  switch (value.type) {
    case frame::kTypeNone:
      V_VT(out) = VT_ERROR;
      V_ERROR(out) = DISP_E_PARAMNOTFOUND;
      return true;
    case kTypeObject:
      variant_of_object(reinterpret_cast<const ObjectRecord*>(static_cast<uintptr_t>(value.low)), expected, out);
      return true;
    case kTypeVariant:
      return SUCCEEDED(VariantCopyInd(out, reinterpret_cast<VARIANT*>(static_cast<uintptr_t>(value.low))));
    case frame::kTypeBool:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.low != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case frame::kTypeDateTime:
      V_VT(out) = VT_DATE;
      V_DATE(out) = bits_as<double>(value.payload());
      return true;
    case frame::kTypeText:
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = bstr_of(reinterpret_cast<const char*>(static_cast<uintptr_t>(value.low)));
      return true;
    case frame::kTypeByte:
      V_VT(out) = VT_UI1;
      V_UI1(out) = static_cast<BYTE>(value.low);
      return true;
    case frame::kTypeShort:
      V_VT(out) = VT_I2;
      V_I2(out) = static_cast<SHORT>(value.low);
      return true;
    case frame::kTypeInt:
    case frame::kTypeInt64:
      // A long integer travels as its low 32 bits only.
      V_VT(out) = VT_I4;
      V_I4(out) = static_cast<LONG>(value.low);
      return true;
    case frame::kTypeFloat:
      V_VT(out) = VT_R4;
      V_R4(out) = bits_as<float>(value.low);
      return true;
    case frame::kTypeDouble:
      V_VT(out) = VT_R8;
      V_R8(out) = bits_as<double>(value.payload());
      return true;
    default:
      return false;
  }
}

std::optional<TypedValue> value_of_variant(const VARIANT& variant, uint32_t type) {
  if (V_VT(&variant) == VT_RECORD) return std::nullopt;
  if (type == kTypeVariant) return copied_variant(variant);
  // A member that gives nothing back, such as a shortcut's Save, yields an empty
  // object: nothing failed, though VT_EMPTY does not change into VT_UNKNOWN.
  if (type == kTypeObject && V_VT(&variant) == VT_EMPTY) return object_of_unknown(nullptr);
  const VARTYPE wanted = variant_type_for(type);
  if (wanted == VT_EMPTY) return std::nullopt;
  Variant converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&variant), 0, wanted))) return std::nullopt;
  return value_of_converted(*converted.get(), type);
}

void write_back(const TypedValue& reference, const TypedValue& value) {
  free_held_value(reference);
  const uint64_t bits = value.payload();
  std::memcpy(address_of(reference), &bits, stored_size(base_type(reference.type)));
}

}  // namespace services
