#include "frame/gbk_wide.h"

namespace frame {

std::wstring wide_from_gbk(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::optional<std::string> gbk_from_wide(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int wide_length = static_cast<int>(text.size());
  // A character without a GBK form would come out as the nearest look-alike or '?'.
  constexpr DWORD kExactOnly = WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  const int size =
      WideCharToMultiByte(kGbkCodePage, kExactOnly, text.data(), wide_length, nullptr, 0, nullptr, &defaulted);
  if (size == 0 || defaulted) return std::nullopt;
  std::string gbk(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(kGbkCodePage, kExactOnly, text.data(), wide_length, gbk.data(), size, nullptr, nullptr);
  // The round trip shows what the default-character flag alone misses in some
  // systems' tables: a lone surrogate or a character given a look-alike.
  if (wide_from_gbk(gbk) != text) return std::nullopt;
  return gbk;
}

std::string gbk_from_wide_or_marked(std::wstring_view text) {
  if (text.empty()) return {};
  const int wide_length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(kGbkCodePage, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string gbk(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text.data(), wide_length, gbk.data(), size, nullptr, nullptr);
  return gbk;
}

}  // namespace frame
