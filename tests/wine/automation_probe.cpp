// A program on the frame that drives the automation services against the tests' own
// probe server (automation_server/), whose members have the parameter shapes WshShell
// lacks. It plays the scenario named on its command line and logs, for each call, the
// last automation error, the caller's variables afterwards and what the server says
// it received; the automation tests compare the log line by line.
#include <windows.h>
// After windows.h, which they need.
#include <oaidl.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "frame/frame_heap.h"
#include "frame/frame_services.h"
#include "frame/gbk_wide.h"
#include "probe_header.h"
#include "probe_server.h"
#include "probe_support.h"
#include "process_usage.h"
#include "services/com_object.h"
#include "services/com_owners.h"
#include "services/object_variable.h"
#include "services/service_call.h"

namespace {

using frame::TypedValue;
using probe::log_line;
using services::call_service;
using services::com_ptr;
using services::ObjectVariable;
using services::omitted;

constexpr char kProgId[] = "Trellimo.ProbeServer";
constexpr char kServerLibrary[] = "probe_server.dll";
// The records' uuids in the server's type library.
constexpr GUID kProbePointId = {0xC9FF7C9A, 0x7D98, 0x451C, {0xB5, 0x75, 0xA9, 0xFE, 0xC8, 0x32, 0x63, 0x23}};
constexpr GUID kProbeLabelId = {0x7BD6F32A, 0x0D00, 0x46D8, {0xA3, 0x75, 0xC3, 0xB1, 0x42, 0x1B, 0x11, 0xD0}};

uint32_t address_word(const void* address) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address)); }

// Variables of the caller's own that by-reference arguments point at.
struct TextVariable {
  explicit TextVariable(const char* initial = "") : text(frame::heap_text(initial)) {}
  TextVariable(const TextVariable&) = delete;
  TextVariable& operator=(const TextVariable&) = delete;
  ~TextVariable() { frame::heap_free(text); }
  TypedValue reference() { return {address_word(&text), 0, frame::kTypeText | services::kByReference}; }
  std::string value() const { return text != nullptr ? text : "(null)"; }
  char* text;
};

struct IntVariable {
  TypedValue reference() { return {address_word(&number), 0, frame::kTypeInt | services::kByReference}; }
  int32_t number = 0;
};

struct DateVariable {
  TypedValue reference() { return {address_word(&date), 0, frame::kTypeDateTime | services::kByReference}; }
  double date = 0;
};

TypedValue date_value(double date) {
  uint64_t bits = 0;
  std::memcpy(&bits, &date, sizeof bits);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), frame::kTypeDateTime};
}

std::string number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::string error_text() { return std::to_string(services::last_automation_error()); }

// Calls a method and logs whether it yielded an object and the last error.
template <typename... Values>
void call_method(const std::string& label, const ObjectVariable& object, const char* name, const Values&... values) {
  ObjectVariable result;
  result.assign(call_service(services::object_method_service, object.value(), name, values...));
  log_line(label + (result.empty() ? " empty" : " object") + " error " + error_text());
}

template <typename... Values>
void write_property(const std::string& label, const ObjectVariable& object, const char* name, const Values&... values) {
  const TypedValue written = call_service(services::write_property_service, object.value(), name, values...);
  log_line(label + (written.low != 0 ? " true" : " false") + " error " + error_text());
}

// What the server says the call before this one carried.
void log_seen(const ObjectVariable& server) {
  TextVariable seen;
  ObjectVariable result;
  result.assign(call_service(services::object_method_service, server.value(), "LastCall", seen.reference()));
  log_line("  saw " + seen.value());
}

bool open_server(ObjectVariable& server) {
  return call_service(services::create_object_service, server.value(), kProgId).low != 0;
}

using CanUnloadNow = HRESULT(WINAPI*)();

// The server can be unloaded only when every object it made has been released.
void log_server_objects() {
  const auto can_unload = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(kServerLibrary), "DllCanUnloadNow")));
  log_line(can_unload != nullptr && can_unload() == S_OK ? "server objects all released" : "server objects held");
}

// Runs `play` with COM initialised and one probe server, and says afterwards whether
// the server still has objects alive.
void with_server(void (*play)(ObjectVariable&)) {
  CoInitialize(nullptr);
  {
    ObjectVariable server;
    if (open_server(server))
      play(server);
    else
      log_line("no probe server");
  }
  log_server_objects();
  CoUninitialize();
}

// ---- by-reference and out parameters ----

void by_reference(ObjectVariable& server) {
  IntVariable number{7};
  TextVariable text("abc");
  call_method("exchange", server, "Exchange", number.reference(), text.reference());
  log_line("  number " + std::to_string(number.number) + " text " + text.value());
  log_seen(server);
  call_method("exchange by value", server, "Exchange", 7, "abc");
  log_seen(server);
  TextVariable not_a_number("abc");
  call_method("exchange text as number", server, "Exchange", not_a_number.reference(), text.reference());
  log_line("  text " + not_a_number.value());
  log_seen(server);
}

void out_parameters(ObjectVariable& server) {
  IntVariable number{-1};
  TextVariable text("old text");
  DateVariable when;
  call_method("produce", server, "Produce", number.reference(), text.reference(), when.reference());
  log_line("  number " + std::to_string(number.number) + " text " + text.value() + " date " + number_text(when.date));
  log_seen(server);
  DateVariable later;
  call_method("later", server, "Later", date_value(45000.5), 3, later.reference());
  log_line("  date " + number_text(later.date));
  log_seen(server);
  IntVariable into_number{5};
  call_method("later into an integer", server, "Later", date_value(45000.5), 3, into_number.reference());
  log_line("  number " + std::to_string(into_number.number));
}

void variant_references(ObjectVariable& server) {
  TextVariable text("abc");
  call_method("stamp text", server, "Stamp", text.reference());
  log_line("  text " + text.value());
  log_seen(server);
  IntVariable number{5};
  call_method("stamp integer", server, "Stamp", number.reference());
  log_line("  number " + std::to_string(number.number));
  log_seen(server);
}

// ---- parameter arrays and omitted values ----

void parameter_array(ObjectVariable& server) {
  call_method("gather two", server, "Gather", 1, 2);
  log_seen(server);
  call_method("gather four", server, "Gather", 1, 2, "c", true);
  log_seen(server);
  call_method("gather trailing omitted", server, "Gather", 1, 2, omitted, omitted);
  log_seen(server);
  call_method("three into two", server, "Required2", 1, 2, 3);
}

void omitted_values(ObjectVariable& server) {
  call_method("middle omitted", server, "Optional3", 1, omitted, 3);
  log_seen(server);
  call_method("trailing omitted", server, "Optional3", 1, omitted, omitted);
  log_seen(server);
  call_method("all omitted", server, "Optional3", omitted, omitted, omitted);
  log_seen(server);
  call_method("required omitted", server, "Required2", omitted, 2);
  log_seen(server);
  call_method("required missing", server, "Required2", 1);
}

// ---- records ----

// An object variable holding a new record of the server's record type `id`, as a
// caller makes one: the record's IRecordInfo and an instance of it.
bool new_record(ObjectVariable& server, const GUID& id, ObjectVariable& record) {
  com_ptr<IDispatch> dispatch;
  com_ptr<ITypeInfo> info;
  com_ptr<ITypeLib> library;
  com_ptr<ITypeInfo> record_type;
  com_ptr<IRecordInfo> record_info;
  UINT index = 0;
  if (FAILED(server.record().object->QueryInterface(IID_IDispatch, dispatch.put_void())) ||
      FAILED(dispatch->GetTypeInfo(0, 0, info.put())) || FAILED(info->GetContainingTypeLib(library.put(), &index)) ||
      FAILED(library->GetTypeInfoOfGuid(id, record_type.put())) ||
      FAILED(GetRecordInfoFromTypeInfo(record_type.get(), record_info.put()))) {
    return false;
  }
  void* data = record_info->RecordCreate();
  if (data == nullptr) return false;
  record.record() = {record_info.detach(), data};
  return true;
}

bool fill_point_record(ObjectVariable& server, ObjectVariable& point) {
  if (!new_record(server, kProbePointId, point)) return false;
  *static_cast<ProbePoint*>(point.record().record_data) = {5, 6};
  return true;
}

std::string label_text(const ProbeLabel& label) {
  if (label.text == nullptr) return "(null)";
  std::string text(1, '\'');
  text += frame::gbk_from_wide_or_marked(std::wstring_view(label.text, SysStringLen(label.text)));
  text += "' " + std::to_string(label.number);
  return text;
}

void records(ObjectVariable& server) {
  ObjectVariable point;
  if (!fill_point_record(server, point)) return log_line("no record");
  call_method("place record", server, "Place", point.value());
  log_seen(server);
  call_method("record as a variant", server, "Stamp", point.value());
  log_seen(server);
  call_method("record result", server, "Corner");
  ObjectVariable label;
  if (!new_record(server, kProbeLabelId, label)) return log_line("no label record");
  auto* fields = static_cast<ProbeLabel*>(label.record().record_data);
  fields->text = SysAllocString(L"kept");
  fields->number = 8;
  call_method("label record", server, "Label", label.value());
  log_seen(server);
  log_line("  the caller's label " + label_text(*fields));
}

// ---- objects ----

void object_values(ObjectVariable& server) {
  ObjectVariable other;
  open_server(other);
  write_property("partner", server, "Partner", other.value());
  log_seen(server);
  ObjectVariable partner;
  partner.assign(call_service(services::object_method_service, server.value(), "Partner"));
  log_line(std::string(partner.empty() ? "partner empty" : "partner object") + " error " + error_text());
  call_method("narrow on the partner", partner, "Narrow", 9);
  log_seen(other);
  ObjectVariable empty;
  write_property("empty partner", server, "Partner", empty.value());
  log_seen(server);
  write_property("name", server, "Name", "probe");
  log_seen(server);
  call_method("name as an object", server, "Name");
}

// Members the type information describes as variables rather than functions.
void variable_members(ObjectVariable& server) {
  ObjectVariable fields;
  fields.assign(call_service(services::object_method_service, server.value(), "Fields"));
  log_line(std::string(fields.empty() ? "fields empty" : "fields object") + " error " + error_text());
  write_property("count", fields, "Count", 5);
  log_seen(fields);
  write_property("count as text", fields, "Count", "12");
  log_seen(fields);
  write_property("count with two values", fields, "Count", 1, 2);
  write_property("link", fields, "Link", server.value());
  log_seen(fields);
  call_method("count read", fields, "Count");
  log_seen(fields);
  call_method("count read with a value", fields, "Count", 1);
  ObjectVariable link;
  link.assign(call_service(services::object_method_service, fields.value(), "Link"));
  log_line(std::string(link.empty() ? "link empty" : "link object") + " error " + error_text());
  call_method("narrow on the link", link, "Narrow", 4);
  log_seen(server);
}

void unusable_objects(ObjectVariable& server) {
  ObjectVariable plain;
  plain.assign(call_service(services::object_method_service, server.value(), "Plain"));
  log_line(std::string(plain.empty() ? "plain empty" : "plain object") + " error " + error_text());
  call_method("method of an object without IDispatch", plain, "Narrow", 1);
  ObjectVariable blind;
  blind.assign(call_service(services::object_method_service, server.value(), "Blind"));
  log_line(std::string(blind.empty() ? "blind empty" : "blind object") + " error " + error_text());
  call_method("method of an object without type information", blind, "Narrow", 1);
  ObjectVariable empty;
  call_method("method of an empty variable", empty, "Narrow", 1);
  call_method("unknown method", server, "NoSuchMember", 1);
}

// ---- failures ----

// The HRESULTs Invoke may answer with, in the order of the error codes -9 to -18.
constexpr HRESULT kInvokeFailures[] = {
    DISP_E_BADPARAMCOUNT, DISP_E_BADVARTYPE,    DISP_E_EXCEPTION,    DISP_E_MEMBERNOTFOUND,   DISP_E_NONAMEDARGS,
    DISP_E_OVERFLOW,      DISP_E_PARAMNOTFOUND, DISP_E_TYPEMISMATCH, DISP_E_PARAMNOTOPTIONAL, E_FAIL};

void invoke_failures(ObjectVariable& server) {
  for (const HRESULT failure : kInvokeFailures) {
    call_method("invoke answered " + probe::hex(static_cast<unsigned>(failure)), server, "Fail",
                static_cast<int32_t>(failure));
  }
  call_method("member failed", server, "Raise");
  call_method("too large for a short", server, "Narrow", 100000);
  call_method("text for a number", server, "Required2", "abc", 1);
  log_seen(server);
  const TypedValue bytes{address_word(frame::heap_byte_array({})), 0, frame::kTypeByteArray};
  call_method("byte array", server, "Narrow", bytes);
  log_seen(server);
  frame::heap_free(reinterpret_cast<void*>(static_cast<uintptr_t>(bytes.low)));
}

// A member without a result after a failed call: an empty object, and the last error
// is success again.
void nothing_returned(ObjectVariable& server) {
  call_method("too large for a short", server, "Narrow", 100000);
  call_method("nothing returned", server, "Required2", 1, 2);
}

// ---- leaks ----

// One of each kind of call: texts, dates and shadows, parameter arrays, omitted values,
// a lent record, objects both ways and failures. Records that oleaut32 copies are left
// out: Wine's Invoke copies a record argument for a VARIANT parameter, and a record
// result, into memory that VariantClear never gives back.
void call_everything(ObjectVariable& server, ObjectVariable& other, ObjectVariable& point) {
  IntVariable number{7};
  TextVariable text("abc");
  DateVariable when;
  ObjectVariable result;
  const auto method = [&server, &result](const char* name, const auto&... values) {
    result.assign(call_service(services::object_method_service, server.value(), name, values...));
  };
  method("Exchange", number.reference(), text.reference());
  method("Produce", number.reference(), text.reference(), when.reference());
  method("Stamp", text.reference());
  method("Gather", 1, "b", "c", omitted);
  method("Optional3", "a", omitted, "c");
  method("Required2", "not a number", 1);
  method("Place", point.value());
  call_service(services::write_property_service, server.value(), "Partner", other.value());
  method("Partner");
  method("Plain");
  call_service(services::write_property_service, server.value(), "Name", "probe");
  method("Name");
}

// Each round makes its objects and a record, and calls everything ten times over.
void call_many(int rounds) {
  for (int round = 0; round < rounds; ++round) {
    ObjectVariable server;
    ObjectVariable other;
    ObjectVariable point;
    open_server(server);
    open_server(other);
    fill_point_record(server, point);
    for (int repeat = 0; repeat < 10; ++repeat) call_everything(server, other, point);
  }
}

void many_calls() {
  CoInitialize(nullptr);
  call_many(200);
  probe::log_usage("after 200");
  call_many(1800);
  probe::log_usage("after 2000");
  log_server_objects();
  CoUninitialize();
}

// ---- creation through the type library ----

std::string probe_folder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, path.rfind('\\', length));
    path.resize(path.size() * 2);
  }
}

void create_from_library(const std::string& file) {
  CoInitialize(nullptr);
  {
    ObjectVariable server;
    const TypedValue created =
        call_service(services::create_object_service, server.value(), "ProbeServer", file.c_str());
    log_line(std::string(created.low != 0 ? "created" : "not created") + (server.empty() ? " empty" : " object"));
    if (!server.empty()) {
      call_method("narrow", server, "Narrow", 2);
      log_seen(server);
    }
  }
  CoUninitialize();
}

void library_by_name() { create_from_library(kServerLibrary); }
void library_by_path() { create_from_library(probe_folder() + "\\" + kServerLibrary); }

constexpr probe::Scenario kScenarios[] = {
    {"by-reference", [] { with_server(by_reference); }},
    {"out-parameters", [] { with_server(out_parameters); }},
    {"variant-references", [] { with_server(variant_references); }},
    {"parameter-array", [] { with_server(parameter_array); }},
    {"omitted-values", [] { with_server(omitted_values); }},
    {"records", [] { with_server(records); }},
    {"object-values", [] { with_server(object_values); }},
    {"variable-members", [] { with_server(variable_members); }},
    {"unusable-objects", [] { with_server(unusable_objects); }},
    {"invoke-failures", [] { with_server(invoke_failures); }},
    {"nothing-returned", [] { with_server(nothing_returned); }},
    {"many-calls", many_calls},
    {"library-by-name", library_by_name},
    {"library-by-path", library_by_path},
};

}  // namespace

namespace frame {

const ProgramHeader program_header = probe::header_without_template(probe::play_scenarios_entry<kScenarios>);

}  // namespace frame
