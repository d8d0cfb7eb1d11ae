// The picture box as a plain child window at its template place, filled with its
// background colour: enough for a window to be built from its template. Its picture
// and display modes belong to the picture box's own unit.
#include <windows.h>

#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "units/native_window.h"
#include "units/picture_box_block.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr char kPictureBoxClass[] = "_QV_PicBox";

class ChildUnit : public frame::UnitObject {
 public:
  friend LRESULT CALLBACK unit_window_procedure<ChildUnit>(HWND, UINT, WPARAM, LPARAM);

  explicit ChildUnit(uint32_t fill) : fill_(fill) {}

  bool create_native_window(const char* class_name, const frame::CreateParams& params) {
    if (!register_unit_class(class_name, unit_window_procedure<ChildUnit>)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style;
    return CreateWindowExA(0, class_name, "", style, params.left, params.top, params.width, params.height,
                           params.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)),
                           GetModuleHandleA(nullptr), this) != nullptr;
  }

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd_, message, wparam, lparam);
    paint();
    return 0;
  }

  void paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    const frame::OwnedBrush brush(CreateSolidBrush(stored_colour(fill_)));
    FillRect(dc, &paint.rcPaint, brush.get());
    EndPaint(hwnd_, &paint);
  }

  uint32_t fill_;
};

frame::UnitObject* create_child(const char* class_name, uint32_t fill, const frame::CreateParams& params) {
  auto* unit = new ChildUnit(fill);
  if (!unit->create_native_window(class_name, params)) {
    delete unit;
    return nullptr;
  }
  return unit;
}

frame::UnitObject* create_picture_box(const frame::CreateParams& params) {
  auto block = decode_picture_box_block({params.data, params.data_length});
  return block ? create_child(kPictureBoxClass, block->background_colour, params) : nullptr;
}

void* picture_box_interface(int request) {
  return request == frame::kRequestCreate ? reinterpret_cast<void*>(&create_picture_box) : nullptr;
}

}  // namespace

const frame::KindDescriptor kPictureBoxKind = {
    "图片框", "PicBox", "", 0, nullptr, 0x840100C0, 0, 0, nullptr, 0, nullptr, picture_box_interface, 0, nullptr,
};

}  // namespace units
