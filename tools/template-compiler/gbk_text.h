// Conversion between the UTF-8 of layout files and the GBK (code page 936) the
// frame stores, through the host's iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tplc {

// Nothing when the text has a character the other side cannot represent.
std::optional<std::string> utf8_to_gbk(std::string_view text);
std::optional<std::string> gbk_to_utf8(std::string_view text);

}  // namespace tplc
