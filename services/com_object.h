#pragma once
// The automation-object services, on the runtime-service convention. An object
// variable is a TypedValue of type kTypeObject whose payload points to an
// ObjectRecord the caller owns (8 zero bytes from the frame heap before first use).
// Members are bound late by name through the server's type information. No service
// raises a run-time error: failures show in results and in the calling thread's last
// automation error.
#include <cstdint>

#include "services/service_convention.h"

struct IUnknown;

namespace services {

constexpr uint32_t kTypeObject = 0x10030;
// Payload: a pointer to a 16-byte VARIANT.
constexpr uint32_t kTypeVariant = 0x10031;
// Added to a type code when the payload is the address of the caller's variable.
constexpr uint32_t kByReference = 0x20000000;

struct ObjectRecord {
  IUnknown* object;   // the held interface; an IRecordInfo when record_data is set
  void* record_data;  // a held user-defined record, else null
};
static_assert(sizeof(ObjectRecord) == 8);

// The codes of the last automation error; 0 is success.
enum AutomationError : int32_t {
  kAutomationOk = 0,
  kObjectEmpty = -1,
  kNoDispatch = -2,
  kNameNotFound = -3,
  kNoTypeInformation = -4,
  kTooManyArguments = -5,
  kUnsupportedArgument = -7,
  kResultNotConvertible = -8,
  kBadParamCount = -9,
  kBadVarType = -10,
  kException = -11,
  kMemberNotFound = -12,
  kNoNamedArgs = -13,
  kOverflow = -14,
  kParamNotFound = -15,
  kTypeMismatch = -16,
  kParamNotOptional = -17,
  kInvokeFailed = -18,
};

// The calling thread's last automation error, set by every dispatch.
int32_t last_automation_error();

// (object variable, class text, type-library file?) -> logical. Creates the object
// from the type library when a file is given and the class is a name, else from the
// class id or ProgID; runs it and stores it in the variable, releasing what the
// variable held. On failure the variable is left as it was.
TypedValue create_object_service(uint32_t count, const TypedValue* arguments);

// (object variable, method name, values...) -> object: a new ObjectRecord the caller
// clears and frees; empty when the call fails or yields no object.
TypedValue object_method_service(uint32_t count, const TypedValue* arguments);

// (object variable, property name, values...) -> logical: true iff the last
// automation error is 0.
TypedValue write_property_service(uint32_t count, const TypedValue* arguments);

// (object variable) -> nothing. Releases the held object and any record data.
TypedValue clear_object_service(uint32_t count, const TypedValue* arguments);

// (object variable) -> logical: true iff it holds no interface.
TypedValue object_empty_service(uint32_t count, const TypedValue* arguments);

}  // namespace services
