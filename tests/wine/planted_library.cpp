// An impostor the tests put beside the probe program under the names of system
// libraries. If it is ever loaded it leaves "<its own file>.loaded" beside itself.
#include <windows.h>

#include <string>

namespace {

std::wstring own_path(HINSTANCE self) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

void leave_marker(HINSTANCE self) {
  const std::wstring marker = own_path(self) + L".loaded";
  HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) leave_marker(self);
  return TRUE;
}
