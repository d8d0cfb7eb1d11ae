// The picture box, picture button and transparent label as plain child windows at
// their template places: enough for a window to be built from its template. Their
// pictures, texts and mouse behaviour belong to each kind's own unit.
#include <windows.h>

#include <optional>

#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "units/label_block.h"
#include "units/native_window.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

struct ChildClass {
  const char* name;
  DWORD ex_style;
};

constexpr ChildClass kPictureBoxClass = {"_QV_PicBox", 0};
constexpr ChildClass kPictureButtonClass = {"_QV_RgnButton", 0};
constexpr ChildClass kLabelClass = {"_QV_TransLabel", WS_EX_TRANSPARENT};

class ChildUnit : public frame::UnitObject {
 public:
  // `fill` is the colour painted over the unit; none leaves the parent showing.
  ChildUnit(std::optional<uint32_t> fill) : fill_(fill) {}

  bool create_native_window(const ChildClass& window_class, const frame::CreateParams& params) {
    if (!register_unit_class(window_class.name, procedure)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style;
    return CreateWindowExA(window_class.ex_style, window_class.name, "", style, params.left, params.top, params.width,
                           params.height, params.parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)), GetModuleHandleA(nullptr),
                           this) != nullptr;
  }

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = object_of_window<ChildUnit>(hwnd, message, lparam);
    if (self == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    switch (message) {
      case frame::kMsgObjectOfWindow:
        return reinterpret_cast<LRESULT>(static_cast<frame::UnitObject*>(self));
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        self->paint();
        return 0;
      case WM_NCDESTROY:
        forget_object_of_window(hwnd);
        self->hwnd_ = nullptr;
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  void paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    if (fill_) {
      const frame::OwnedBrush brush(CreateSolidBrush(stored_colour(*fill_)));
      FillRect(dc, &paint.rcPaint, brush.get());
    }
    EndPaint(hwnd_, &paint);
  }

  std::optional<uint32_t> fill_;
};

frame::UnitObject* create_child(const ChildClass& window_class, std::optional<uint32_t> fill,
                                const frame::CreateParams& params) {
  auto* unit = new ChildUnit(fill);
  if (!unit->create_native_window(window_class, params)) {
    delete unit;
    return nullptr;
  }
  return unit;
}

frame::UnitObject* create_picture_box(const frame::CreateParams& params) {
  auto block = decode_picture_box_block({params.data, params.data_length});
  return block ? create_child(kPictureBoxClass, block->background_colour, params) : nullptr;
}

frame::UnitObject* create_picture_button(const frame::CreateParams& params) {
  auto block = decode_picture_button_block({params.data, params.data_length});
  return block ? create_child(kPictureButtonClass, 0xFF000000u, params) : nullptr;
}

frame::UnitObject* create_label(const frame::CreateParams& params) {
  auto block = decode_label_block({params.data, params.data_length});
  return block ? create_child(kLabelClass, std::nullopt, params) : nullptr;
}

void* picture_box_interface(int request) {
  return request == frame::kRequestCreate ? reinterpret_cast<void*>(&create_picture_box) : nullptr;
}
void* picture_button_interface(int request) {
  return request == frame::kRequestCreate ? reinterpret_cast<void*>(&create_picture_button) : nullptr;
}
void* label_interface(int request) {
  return request == frame::kRequestCreate ? reinterpret_cast<void*>(&create_label) : nullptr;
}

}  // namespace

const frame::KindDescriptor kPictureBoxKind = {
    "图片框", "PicBox", "", 0, nullptr, 0x840100C0, 0, 0, nullptr, 0, nullptr, picture_box_interface, 0, nullptr,
};
const frame::KindDescriptor kPictureButtonKind = {
    "图形按钮", "PicBtn", "", 0, nullptr, 0x80010040, 0, 0, nullptr, 0, nullptr, picture_button_interface, 0, nullptr,
};
const frame::KindDescriptor kTransparentLabelKind = {
    "透明标签", "TransLabel", "", 0, nullptr, 0x00012040, 0, 0, nullptr, 0, nullptr, label_interface, 0, nullptr,
};

}  // namespace units
