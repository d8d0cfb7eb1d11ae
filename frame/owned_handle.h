#pragma once
// One owner for each Win32 handle: move-only, released exactly once on every path.
#include <windows.h>

#include <utility>

namespace frame {

template <typename Handle, typename Release>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(Handle handle) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.release()) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~OwnedHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  Handle release() { return std::exchange(handle_, Handle{}); }
  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Release{}(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct CloseKernelHandle {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct FreeModule {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct CloseRegistryKey {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
struct DeleteDeviceContext {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DestroyWindowHandle {
  void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};

using OwnedBrush = OwnedHandle<HBRUSH, DeleteGdiObject>;
using OwnedRegion = OwnedHandle<HRGN, DeleteGdiObject>;
// A device context of our own making (CreateCompatibleDC), not one borrowed by GetDC.
using OwnedDc = OwnedHandle<HDC, DeleteDeviceContext>;
using OwnedKernelHandle = OwnedHandle<HANDLE, CloseKernelHandle>;
using OwnedModule = OwnedHandle<HMODULE, FreeModule>;
using OwnedWindow = OwnedHandle<HWND, DestroyWindowHandle>;
using OwnedKey = OwnedHandle<HKEY, CloseRegistryKey>;

}  // namespace frame
