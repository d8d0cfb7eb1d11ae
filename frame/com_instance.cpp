#include "frame/com_instance.h"

#include <string>

#include "frame/gbk_wide.h"

namespace frame {
namespace {

// Servers that refuse remote activation answer the full context with E_INVALIDARG.
constexpr DWORD kAnyServerContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD kLocalServerContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

}  // namespace

com_ptr<IUnknown> instance_from_class(std::string_view class_name) {
  const std::wstring name = wide_from_gbk(class_name);
  CLSID clsid;
  const HRESULT found = class_name.starts_with('{') ? CLSIDFromString(const_cast<LPOLESTR>(name.c_str()), &clsid)
                                                    : CLSIDFromProgID(name.c_str(), &clsid);
  if (FAILED(found)) return {};
  com_ptr<IUnknown> object;
  HRESULT created = CoCreateInstance(clsid, nullptr, kAnyServerContext, IID_IUnknown, object.put_void());
  if (created == E_INVALIDARG) {
    created = CoCreateInstance(clsid, nullptr, kLocalServerContext, IID_IUnknown, object.put_void());
  }
  if (FAILED(created)) return {};
  return object;
}

}  // namespace frame
