#include "services/com_owners.h"

namespace services {

std::wstring wide_of(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string ansi_of(const wchar_t* text, size_t length) {
  if (length == 0) return {};
  const int wide_length = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_ACP, 0, text, wide_length, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, wide_length, ansi.data(), size, nullptr, nullptr);
  return ansi;
}

}  // namespace services
