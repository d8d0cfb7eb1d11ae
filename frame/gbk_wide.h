#pragma once
// Where texts cross into Windows and come back: the system's texts are GBK bytes
// whatever code page Windows runs with (an English Windows has 1252, a Japanese one
// 932), so every text is handed to the wide API, converted here with code page 936
// named explicitly, and every text Windows hands back is converted the same way.
//
// GBK to UTF-16 never fails. A lead byte takes the byte after it, as the text
// services count characters (frame/gbk.h): a pair that is no GBK character (its
// second byte cannot trail, a blank or 0x7F say) becomes one '?', and so does a
// lead byte that ends the text. The single bytes 0x80 and 0xFF are the euro sign
// and U+F8F5, as code page 936 has them, and come back as themselves.
//
// UTF-16 to GBK refuses a text with a character that GBK cannot hold, or with half
// of a surrogate pair, rather than let it through with '?' in its place: a path so
// garbled would name another file.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace frame {

constexpr UINT kGbkCodePage = 936;

std::wstring wide_from_gbk(std::string_view text);

// Nothing when a character of `text` has no GBK form.
std::optional<std::string> gbk_from_wide(std::wstring_view text);

// For texts that are only shown or passed on: a character without a GBK form
// becomes '?'.
std::string gbk_from_wide_or_marked(std::wstring_view text);

}  // namespace frame
