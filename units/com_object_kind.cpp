#include "units/com_object_kind.h"

#include <objbase.h>

#include <string>
#include <utility>

#include "frame/gbk_wide.h"
#include "units/unit_libraries.h"

namespace units {

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
  const std::wstring name = frame::wide_from_gbk(properties_.class_name);
  CLSID clsid;
  const HRESULT found = name.starts_with(L'{') ? CLSIDFromString(const_cast<LPOLESTR>(name.c_str()), &clsid)
                                               : CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(found)) return;
  frame::com_ptr<IUnknown> made;
  if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                 IID_IUnknown, made.put_void())))
    object_ = std::move(made);
}

}  // namespace units
