// Reading typed values out of a layout file, with errors that name the unit and
// the field they concern.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tools/common/tool_files.h"

namespace tplc {

using Json = tools::Json;

// What is being read ("unit 0x16010004 (button_quickinster)"), for error messages.
class Context {
 public:
  explicit Context(std::string where) : where_(std::move(where)) {}

  [[noreturn]] void fail(std::string_view field, std::string_view problem) const;

  // Rejects members of `what` other than `known`, so that a misspelt field is not
  // silently ignored; `what` is the object's field name, empty for the whole object.
  void allow_only(const Json& object, std::string_view what, std::initializer_list<std::string_view> known) const;

  const Json& required(const Json& object, std::string_view field) const;

  // Integers as JSON numbers or as "0x..." strings; negative numbers keep their bits.
  uint32_t word(const Json& value, std::string_view field) const;
  int32_t signed_word(const Json& value, std::string_view field) const;
  uint8_t byte(const Json& value, std::string_view field) const;
  bool flag(const Json& value, std::string_view field) const;
  // UTF-8 in the layout, GBK in the template.
  std::string gbk_text(const Json& value, std::string_view field) const;
  std::vector<uint8_t> file_bytes(const Json& value, std::string_view field, const std::filesystem::path& folder) const;

 private:
  int64_t integer(const Json& value, std::string_view field, int64_t low, int64_t high) const;

  std::string where_;
};

// The member `key` of `object`, or nullptr when it has none.
const Json* member(const Json& object, std::string_view key);

std::string hex_word(uint32_t value);

}  // namespace tplc
