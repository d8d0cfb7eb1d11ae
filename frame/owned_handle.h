#pragma once
// One owner for each Win32 handle: move-only, released exactly once on every path.
// The product names its owners here and nowhere else.
#include <objbase.h>
#include <windows.h>

#include <utility>

namespace frame {

// Most handle kinds say "no handle" with a null value.
template <typename Handle>
struct NullIsInvalid {
  static constexpr Handle value() { return Handle{}; }
};

// CreateFile says it with INVALID_HANDLE_VALUE, and 0 could be a handle.
struct InvalidHandleValueIsInvalid {
  static HANDLE value() { return INVALID_HANDLE_VALUE; }
};

template <typename Handle, typename Release, typename Invalid = NullIsInvalid<Handle>>
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
  explicit operator bool() const { return handle_ != Invalid::value(); }
  Handle release() { return std::exchange(handle_, Invalid::value()); }
  void reset(Handle handle = Invalid::value()) {
    if (*this) Release{}(handle_);
    handle_ = handle;
  }
  // Releases now and says whether that worked, for the kinds whose release can fail
  // in a way worth knowing (a file's last writes reach the disk on closing).
  bool close() {
    if (!*this) return false;
    return Release{}(release());
  }

 private:
  Handle handle_ = Invalid::value();
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct CloseKernelHandle {
  bool operator()(HANDLE handle) const { return CloseHandle(handle) != FALSE; }
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
struct ReleaseScreenDc {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DestroyWindowHandle {
  void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};
struct FreeTaskMemory {
  void operator()(void* block) const { CoTaskMemFree(block); }
};

using OwnedBitmap = OwnedHandle<HBITMAP, DeleteGdiObject>;
using OwnedBrush = OwnedHandle<HBRUSH, DeleteGdiObject>;
using OwnedFont = OwnedHandle<HFONT, DeleteGdiObject>;
using OwnedRegion = OwnedHandle<HRGN, DeleteGdiObject>;
using OwnedIcon = OwnedHandle<HICON, DestroyIconHandle>;
// A device context of our own making (CreateCompatibleDC), not one borrowed by GetDC.
using OwnedDc = OwnedHandle<HDC, DeleteDeviceContext>;
// The whole screen's device context, borrowed from GetDC(nullptr) and given back.
using ScreenDc = OwnedHandle<HDC, ReleaseScreenDc>;
using OwnedKernelHandle = OwnedHandle<HANDLE, CloseKernelHandle>;
using OwnedFile = OwnedHandle<HANDLE, CloseKernelHandle, InvalidHandleValueIsInvalid>;
using OwnedModule = OwnedHandle<HMODULE, FreeModule>;
using OwnedWindow = OwnedHandle<HWND, DestroyWindowHandle>;
using OwnedKey = OwnedHandle<HKEY, CloseRegistryKey>;
// A block the shell or COM allocated for the caller to free (an item ID list).
template <typename T>
using OwnedTaskMemory = OwnedHandle<T*, FreeTaskMemory>;

inline ScreenDc screen_dc() { return ScreenDc(GetDC(nullptr)); }

}  // namespace frame
