// The probe server: an in-process automation object whose members take the
// parameter shapes the automation tests need. Its type library is a resource of this
// library; dispatch goes through DispInvoke on it, so oleaut32 does the coercions a
// real server's caller meets. Before each call Invoke notes the DISPPARAMS as they
// arrived, and LastCall hands that note out.
#include <windows.h>
// After windows.h, which they need.
#include <initguid.h>
#include <olectl.h>
#include <oleauto.h>

#include <cwchar>
#include <string>
#include <utility>

#include "frame/owned_handle.h"
#include "probe_server.h"
#include "services/com_owners.h"

namespace {

using services::com_ptr;
using services::Variant;

HINSTANCE g_module = nullptr;
LONG g_live_objects = 0;

// The records' uuids in the type library.
constexpr GUID kProbePointId = {0xC9FF7C9A, 0x7D98, 0x451C, {0xB5, 0x75, 0xA9, 0xFE, 0xC8, 0x32, 0x63, 0x23}};
constexpr GUID kProbeLabelId = {0x7BD6F32A, 0x0D00, 0x46D8, {0xA3, 0x75, 0xC3, 0xB1, 0x42, 0x1B, 0x11, 0xD0}};

enum MemberId : DISPID {
  kLastCall = 1,
  kFail = 14,
};

enum FieldId : DISPID {
  kCountField = 1,
  kLinkField = 2,
  kFieldsLastCall = 3,
};

// The date Produce gives: 2024-01-01 18:00.
constexpr DATE kProducedDate = 45292.75;
constexpr LONG kProducedNumber = 1234;

std::wstring module_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

// ---- notes of what arrived ----

std::wstring number_text(double value) {
  wchar_t text[32];
  std::swprintf(text, std::size(text), L"%.10g", value);
  return text;
}

std::wstring describe(const VARIANT& value);

std::wstring describe_point(const ProbePoint& point) {
  return L"RECORD " + std::to_wstring(point.x) + L"," + std::to_wstring(point.y);
}

std::wstring describe_label(const ProbeLabel& label) {
  return L"RECORD '" + std::wstring(label.text, SysStringLen(label.text)) + L"' " + std::to_wstring(label.number);
}

// The server's own records show their fields; any other record only that it is one.
std::wstring describe_record(const VARIANT& value) {
  GUID record_id{};
  IRecordInfo* info = V_RECORDINFO(&value);
  if (info == nullptr || V_RECORD(&value) == nullptr || FAILED(info->GetGuid(&record_id))) return L"RECORD";
  if (record_id == kProbePointId) return describe_point(*static_cast<const ProbePoint*>(V_RECORD(&value)));
  if (record_id == kProbeLabelId) return describe_label(*static_cast<const ProbeLabel*>(V_RECORD(&value)));
  return L"RECORD";
}

std::wstring describe_reference(const VARIANT& value) {
  if (V_VT(&value) == (VT_BYREF | VT_VARIANT)) return L"&VARIANT " + describe(*V_VARIANTREF(&value));
  Variant plain;
  if (FAILED(VariantCopyInd(plain.get(), const_cast<VARIANT*>(&value)))) return L"&?";
  return L"&" + describe(*plain.get());
}

std::wstring describe(const VARIANT& value) {
  if ((V_VT(&value) & VT_BYREF) != 0) return describe_reference(value);
  if ((V_VT(&value) & VT_ARRAY) != 0) return L"ARRAY";
  switch (V_VT(&value)) {
    case VT_EMPTY:
      return L"EMPTY";
    case VT_UI1:
      return L"UI1 " + std::to_wstring(V_UI1(&value));
    case VT_I2:
      return L"I2 " + std::to_wstring(V_I2(&value));
    case VT_I4:
      return L"I4 " + std::to_wstring(V_I4(&value));
    case VT_R4:
      return L"R4 " + number_text(V_R4(&value));
    case VT_R8:
      return L"R8 " + number_text(V_R8(&value));
    case VT_DATE:
      return L"DATE " + number_text(V_DATE(&value));
    case VT_BOOL:
      return L"BOOL " + std::to_wstring(V_BOOL(&value));
    case VT_BSTR:
      return L"BSTR '" + std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))) + L"'";
    case VT_ERROR: {
      wchar_t code[16];
      std::swprintf(code, std::size(code), L"%08lX", static_cast<unsigned long>(V_ERROR(&value)));
      return std::wstring(L"ERROR ") + code;
    }
    case VT_UNKNOWN:
      return V_UNKNOWN(&value) != nullptr ? L"UNKNOWN object" : L"UNKNOWN null";
    case VT_DISPATCH:
      return V_DISPATCH(&value) != nullptr ? L"DISPATCH object" : L"DISPATCH null";
    case VT_RECORD:
      return describe_record(value);
    default:
      return L"VT " + std::to_wstring(V_VT(&value));
  }
}

// "flags F count N: first, second, ... named -3", the arguments in declared order.
std::wstring describe_call(WORD flags, const DISPPARAMS& parameters) {
  std::wstring seen = L"flags " + std::to_wstring(flags) + L" count " + std::to_wstring(parameters.cArgs) + L":";
  for (UINT index = parameters.cArgs; index-- > 0;) {
    seen += L" " + describe(parameters.rgvarg[index]);
    if (index > 0) seen += L",";
  }
  for (UINT index = 0; index < parameters.cNamedArgs; ++index) {
    seen += L" named " + std::to_wstring(parameters.rgdispidNamedArgs[index]);
  }
  return seen;
}

BSTR bstr_of(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

// Gives the new text to an [in, out] or [out] BSTR, freeing what it held.
void replace_text(BSTR* target, const std::wstring& text) {
  SysFreeString(*target);
  *target = bstr_of(text);
}

// ---- reference counting shared by the objects here ----

template <typename Interface>
class Counted : public Interface {
 public:
  Counted() { InterlockedIncrement(&g_live_objects); }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  virtual ~Counted() { InterlockedDecrement(&g_live_objects); }

  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  HRESULT answer(REFIID wanted, REFIID own, void** out) {
    if (wanted != IID_IUnknown && wanted != own) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }

 private:
  LONG references_ = 1;
};

// An object without IDispatch.
class PlainObject final : public Counted<IUnknown> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return answer(iid, IID_IUnknown, out); }
};

// An IDispatch that cannot describe itself.
class BlindDispatch final : public Counted<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return answer(iid, IID_IDispatch, out); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
};

// An object that describes itself through the type information it holds.
template <typename Interface>
class Described : public Counted<Interface> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    info_->AddRef();
    *info = info_.get();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return DispGetIDsOfNames(info_.get(), names, count, ids);
  }

 protected:
  com_ptr<ITypeInfo> info_;
};

// The DProbeFields dispinterface. Its properties are variables in the type
// information, which DispInvoke cannot reach, so Invoke is written out here.
class ProbeFields final : public Described<IDispatch> {
 public:
  explicit ProbeFields(com_ptr<ITypeInfo> info) { info_ = std::move(info); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return answer(iid, IID_IDispatch, out); }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id == kFieldsLastCall) return give_last_call(*parameters);
    last_call_ = describe_call(flags, *parameters);
    if (id == kCountField) return count_access(flags, *parameters, result);
    if (id == kLinkField) return link_access(flags, *parameters, result);
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  HRESULT give_last_call(const DISPPARAMS& parameters) {
    if (parameters.cArgs != 1 || V_VT(&parameters.rgvarg[0]) != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
    replace_text(V_BSTRREF(&parameters.rgvarg[0]), last_call_);
    return S_OK;
  }

  HRESULT count_access(WORD flags, const DISPPARAMS& parameters, VARIANT* result) {
    if ((flags & DISPATCH_PROPERTYGET) != 0 && result != nullptr) {
      V_VT(result) = VT_I4;
      V_I4(result) = count_;
      return S_OK;
    }
    if ((flags & DISPATCH_PROPERTYPUT) == 0 || parameters.cArgs != 1) return DISP_E_MEMBERNOTFOUND;
    Variant number;
    if (FAILED(VariantChangeType(number.get(), &parameters.rgvarg[0], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
    count_ = V_I4(number.get());
    return S_OK;
  }

  HRESULT link_access(WORD flags, const DISPPARAMS& parameters, VARIANT* result) {
    if ((flags & DISPATCH_PROPERTYGET) != 0 && result != nullptr) {
      if (link_) link_->AddRef();
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = link_.get();
      return S_OK;
    }
    if ((flags & DISPATCH_PROPERTYPUTREF) == 0 || parameters.cArgs != 1) return DISP_E_MEMBERNOTFOUND;
    Variant link;
    if (FAILED(VariantChangeType(link.get(), &parameters.rgvarg[0], 0, VT_DISPATCH))) return DISP_E_TYPEMISMATCH;
    if (V_DISPATCH(link.get()) != nullptr) V_DISPATCH(link.get())->AddRef();
    link_ = com_ptr<IDispatch>::attach(V_DISPATCH(link.get()));
    return S_OK;
  }

  com_ptr<IDispatch> link_;
  std::wstring last_call_;
  LONG count_ = 0;
};

// ---- the probe server ----

class ProbeServer final : public Described<IProbeServer> {
 public:
  // False when the server's own type library cannot be read.
  bool load_type_information() {
    return SUCCEEDED(LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, library_.put())) &&
           SUCCEEDED(library_->GetTypeInfoOfGuid(IID_IProbeServer, info_.put()));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    return answer(iid, IID_IProbeServer, out);
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument_error) override {
    if (id != kLastCall) {
      last_call_ = describe_call(flags, *parameters);
      note_.clear();
    }
    if (id == kFail && parameters->cArgs == 1 && V_VT(&parameters->rgvarg[0]) == VT_I4) {
      return V_I4(&parameters->rgvarg[0]);
    }
    return DispInvoke(static_cast<IProbeServer*>(this), info_.get(), id, flags, parameters, result, exception,
                      argument_error);
  }

  HRESULT STDMETHODCALLTYPE LastCall(BSTR* seen) override {
    replace_text(seen, note_.empty() ? last_call_ : last_call_ + L" | " + note_);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Exchange(LONG* number, BSTR* text) override {
    *number = *number * 2 + 1;
    replace_text(text, L"<" + std::wstring(*text, SysStringLen(*text)) + L">");
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Produce(LONG* number, BSTR* text, DATE* when) override {
    *number = kProducedNumber;
    replace_text(text, L"made");
    *when = kProducedDate;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Later(DATE when, LONG days, DATE* later) override {
    *later = when + days;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Stamp(VARIANT* value) override {
    Variant text;
    if (FAILED(VariantChangeType(text.get(), value, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
    const std::wstring stamped = std::wstring(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get()))) + L"!";
    VariantClear(value);
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = bstr_of(stamped);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Gather(LONG first, SAFEARRAY* rest) override {
    note_ = L"first " + std::to_wstring(first) + L" rest";
    LONG lower = 0;
    LONG upper = -1;
    if (rest != nullptr) {
      SafeArrayGetLBound(rest, 1, &lower);
      SafeArrayGetUBound(rest, 1, &upper);
    }
    for (LONG index = lower; index <= upper; ++index) {
      Variant element;
      if (SUCCEEDED(SafeArrayGetElement(rest, &index, element.get()))) note_ += L" " + describe(*element.get());
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Optional3(VARIANT first, VARIANT second, VARIANT third) override {
    note_ = L"member saw " + describe(first) + L", " + describe(second) + L", " + describe(third);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Required2(LONG first, LONG second) override {
    note_ = L"member saw " + std::to_wstring(first) + L", " + std::to_wstring(second);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Narrow(SHORT value) override {
    note_ = L"member saw " + std::to_wstring(value);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Place(ProbePoint* point) override {
    if (point == nullptr) return E_POINTER;
    note_ = L"point " + std::to_wstring(point->x) + L"," + std::to_wstring(point->y);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Label(VARIANT label) override {
    note_ = L"member saw " + describe(label);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Corner(VARIANT* point) override {
    com_ptr<ITypeInfo> point_info;
    com_ptr<IRecordInfo> record_info;
    if (FAILED(library_->GetTypeInfoOfGuid(kProbePointId, point_info.put())) ||
        FAILED(GetRecordInfoFromTypeInfo(point_info.get(), record_info.put()))) {
      return E_FAIL;
    }
    auto* data = static_cast<ProbePoint*>(record_info->RecordCreate());
    if (data == nullptr) return E_OUTOFMEMORY;
    *data = {3, 4};
    V_VT(point) = VT_RECORD;
    V_RECORD(point) = data;
    V_RECORDINFO(point) = record_info.detach();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Plain(IUnknown** plain) override {
    *plain = new PlainObject();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Blind(IDispatch** blind) override {
    *blind = new BlindDispatch();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Fields(IDispatch** fields) override {
    *fields = nullptr;
    com_ptr<ITypeInfo> info;
    if (FAILED(library_->GetTypeInfoOfGuid(DIID_DProbeFields, info.put()))) return E_FAIL;
    *fields = new ProbeFields(std::move(info));
    return S_OK;
  }

  // Reached only when Invoke did not answer itself (a code that is not VT_I4).
  HRESULT STDMETHODCALLTYPE Fail(LONG code) override { return code; }

  HRESULT STDMETHODCALLTYPE Raise() override { return E_FAIL; }

  HRESULT STDMETHODCALLTYPE get_Partner(IDispatch** partner) override {
    if (partner_) partner_->AddRef();
    *partner = partner_.get();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE putref_Partner(IDispatch* partner) override {
    if (partner != nullptr) partner->AddRef();
    partner_ = com_ptr<IDispatch>::attach(partner);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = bstr_of(name_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override {
    name_.assign(name, SysStringLen(name));
    return S_OK;
  }

 private:
  com_ptr<ITypeLib> library_;
  com_ptr<IDispatch> partner_;
  std::wstring last_call_;
  std::wstring note_;
  std::wstring name_;
};

// ---- class factory and registration ----

class ServerFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // The factory is static: it lives as long as the library.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto server = com_ptr<ProbeServer>::attach(new ProbeServer());
    if (!server->load_type_information()) return TYPE_E_CANTLOADLIBRARY;
    return server->QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&g_live_objects);
    else InterlockedDecrement(&g_live_objects);
    return S_OK;
  }
};

ServerFactory g_factory;

constexpr wchar_t kClassKey[] = L"CLSID\\{EFC40491-72E6-44AA-BAF6-EBBEA3047104}";
constexpr wchar_t kServerKey[] = L"CLSID\\{EFC40491-72E6-44AA-BAF6-EBBEA3047104}\\InprocServer32";
constexpr wchar_t kProgIdKey[] = L"Trellimo.ProbeServer\\CLSID";
constexpr wchar_t kProgIdRoot[] = L"Trellimo.ProbeServer";
constexpr wchar_t kClassText[] = L"{EFC40491-72E6-44AA-BAF6-EBBEA3047104}";

bool set_text_value(const wchar_t* key_name, const wchar_t* value_name, const std::wstring& text) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key_name, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const frame::OwnedKey key(opened);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
         ERROR_SUCCESS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = module;
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  *out = nullptr;
  if (clsid != CLSID_ProbeServer) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

HRESULT WINAPI DllCanUnloadNow() { return g_live_objects == 0 ? S_OK : S_FALSE; }

// The class and its ProgID; the type library is left to whoever loads it.
HRESULT WINAPI DllRegisterServer() {
  const bool registered = set_text_value(kClassKey, nullptr, L"Trellimo probe server") &&
                          set_text_value(kServerKey, nullptr, module_path()) &&
                          set_text_value(kServerKey, L"ThreadingModel", L"Apartment") &&
                          set_text_value(kProgIdKey, nullptr, kClassText);
  return registered ? S_OK : SELFREG_E_CLASS;
}

// Removes the class, its ProgID and any registration of the type library.
HRESULT WINAPI DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgIdRoot);
  UnRegisterTypeLib(LIBID_TrellimoProbeServer, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
  return S_OK;
}

}  // extern "C"
