#include "units/com_object_kind.h"

#include <objbase.h>

#include <string>

#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr KindNames kComObjectNames = {"对象", "ComObject", 0x80000000};

std::wstring wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, result.data(), length);
  result.resize(static_cast<size_t>(length > 0 ? length - 1 : 0));
  return result;
}

}  // namespace

const frame::KindDescriptor kComObjectKind = KindAdapter<ComObjectUnit, kComObjectNames>::descriptor();

bool ComObjectUnit::create_native_window(const frame::CreateParams&) {
  make_object();
  return true;
}

void ComObjectUnit::apply(Effect effect, int) {
  if (effect == Effect::object) make_object();
}

void ComObjectUnit::make_object() {
  object_.reset();
  if (properties_.class_name.empty()) return;
  const std::wstring name = wide(properties_.class_name);
  CLSID clsid;
  const HRESULT found = name.starts_with(L'{') ? CLSIDFromString(const_cast<LPOLESTR>(name.c_str()), &clsid)
                                               : CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(found)) return;
  IUnknown* made = nullptr;
  if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                 IID_IUnknown, reinterpret_cast<void**>(&made))))
    object_.reset(made);
}

}  // namespace units
