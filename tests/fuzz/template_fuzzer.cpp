// Feeds arbitrary bytes to the window template reader, the loader's structural
// checks and every unit's property block reader. A template that reads must write back into bytes that read again
// to the same windows and units; a damaged one must be refused, never crash.
#include <cstdlib>

#include "frame/template_format.h"
#include "units/com_object_block.h"
#include "units/label_block.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"
#include "units/window_block.h"

namespace {

// Any record's block may hold any bytes: each reader must refuse what is not its own.
void read_property_blocks(const frame::WindowTemplate& templ) {
  for (const frame::WindowSection& window : templ.windows) {
    for (const frame::UnitRecord& record : window.records) {
      (void)units::decode_window_block(record.kind_data);
      (void)units::decode_picture_box_block(record.kind_data);
      (void)units::decode_picture_button_block(record.kind_data);
      (void)units::decode_label_block(record.kind_data);
      (void)units::decode_com_object_block(record.kind_data);
    }
  }
}

bool same_shape(const frame::WindowTemplate& first, const frame::WindowTemplate& second) {
  if (first.windows.size() != second.windows.size()) return false;
  for (size_t w = 0; w < first.windows.size(); ++w) {
    const auto& a = first.windows[w].records;
    const auto& b = second.windows[w].records;
    if (a.size() != b.size()) return false;
    for (size_t r = 0; r < a.size(); ++r) {
      if (a[r].name != b[r].name || a[r].bindings.size() != b[r].bindings.size() ||
          !std::equal(a[r].kind_data.begin(), a[r].kind_data.end(), b[r].kind_data.begin(), b[r].kind_data.end()))
        return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const frame::TemplateReadResult read = frame::read_template({data, size});
  if (!read.value) return 0;
  // What the loader checks before it keeps a template, as it would run at start-up.
  (void)frame::check_structure(*read.value);
  read_property_blocks(*read.value);
  const std::vector<uint8_t> written = frame::write_template(*read.value);
  const frame::TemplateReadResult again = frame::read_template(written);
  if (!again.value || !same_shape(*read.value, *again.value)) std::abort();
  return 0;
}
