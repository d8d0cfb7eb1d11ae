#include "tools/template-compiler/json_fields.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "tools/template-compiler/gbk_text.h"

namespace tplc {

namespace {

// Pictures are tens of kilobytes; anything near this is a wrong path, not artwork.
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

std::optional<int64_t> parse_hex(const std::string& text) {
  if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
  int64_t value = 0;
  for (char c : text.substr(2)) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

void Context::fail(std::string_view field, std::string_view problem) const {
  throw tools::InputError(where_ + ", field \"" + std::string(field) + "\": " + std::string(problem));
}

void Context::allow_only(const Json& object, std::string_view what,
                         std::initializer_list<std::string_view> known) const {
  if (!object.is_object()) fail(what, "must be an object");
  for (const auto& item : object.items()) {
    if (std::find(known.begin(), known.end(), item.key()) == known.end())
      fail(what.empty() ? item.key() : std::string(what) + "." + item.key(), "unknown field");
  }
}

const Json& Context::required(const Json& object, std::string_view field) const {
  const Json* value = member(object, field);
  if (value == nullptr) fail(field, "missing");
  return *value;
}

int64_t Context::integer(const Json& value, std::string_view field, int64_t low, int64_t high) const {
  std::optional<int64_t> number;
  if (value.is_number_integer()) number = value.get<int64_t>();
  if (value.is_string()) number = parse_hex(value.get<std::string>());
  if (!number) fail(field, "must be an integer or a \"0x...\" string");
  if (*number < low || *number > high) fail(field, "out of range");
  return *number;
}

uint32_t Context::word(const Json& value, std::string_view field) const {
  return static_cast<uint32_t>(integer(value, field, INT32_MIN, UINT32_MAX));
}

int32_t Context::signed_word(const Json& value, std::string_view field) const {
  return static_cast<int32_t>(integer(value, field, INT32_MIN, INT32_MAX));
}

uint8_t Context::byte(const Json& value, std::string_view field) const {
  return static_cast<uint8_t>(integer(value, field, 0, UINT8_MAX));
}

bool Context::flag(const Json& value, std::string_view field) const {
  if (!value.is_boolean()) fail(field, "must be true or false");
  return value.get<bool>();
}

std::string Context::gbk_text(const Json& value, std::string_view field) const {
  if (!value.is_string()) fail(field, "must be a string");
  auto text = utf8_to_gbk(value.get<std::string>());
  if (!text) fail(field, "has characters that GBK cannot hold");
  if (text->find('\0') != std::string::npos) fail(field, "must not contain a NUL character");
  return *text;
}

std::vector<uint8_t> Context::file_bytes(const Json& value, std::string_view field,
                                         const std::filesystem::path& folder) const {
  if (!value.is_string()) fail(field, "must be a file path");
  const std::filesystem::path path = folder / value.get<std::string>();
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) fail(field, "cannot read " + path.string());
  if (size > kMaxFileBytes) fail(field, path.string() + " is too large to embed");
  try {
    return tools::read_file(path);
  } catch (const tools::FileError& e) {
    fail(field, e.what());
  }
}

const Json* member(const Json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::string hex_word(uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08" PRIX32, value);
  return text;
}

}  // namespace tplc
