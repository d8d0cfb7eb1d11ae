#include "tools/template-compiler/gbk_text.h"

#include <iconv.h>

#include <vector>

namespace tplc {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> convert(std::string_view text) {
    // No character grows past three bytes either way (GBK 0x80 is the 3-byte euro sign).
    std::vector<char> out(text.size() * 3 + 4);
    char* in_ptr = const_cast<char*>(text.data());
    size_t in_left = text.size();
    char* out_ptr = out.data();
    size_t out_left = out.size();
    if (iconv(handle_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) return std::nullopt;
    return std::string(out.data(), out_ptr);
  }

 private:
  iconv_t handle_;
};

std::optional<std::string> convert(std::string_view text, const char* to, const char* from) {
  Converter converter(to, from);
  if (!converter.valid()) return std::nullopt;
  return converter.convert(text);
}

}  // namespace

std::optional<std::string> utf8_to_gbk(std::string_view text) { return convert(text, "CP936", "UTF-8"); }

std::optional<std::string> gbk_to_utf8(std::string_view text) { return convert(text, "UTF-8", "CP936"); }

}  // namespace tplc
