// The `TransLabel` kind: text drawn straight onto whatever its parent paints. Every
// write repaints the parent under the label first, so a shorter text leaves no trace
// of a longer one.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "frame/gdi_scopes.h"
#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "units/label_block.h"
#include "units/native_window.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr char kLabelClassName[] = "_QV_TransLabel";

enum LabelProperty : int {
  kText = 0,
  kTextEffect,
  kFont,
  kTextColour,
  kHorizontalAlignment,
  kWordWrap,
  kVerticalAlignment,
};

enum TextEffect : uint32_t { kNoEffect = 0, kWhiteShadow = 1, kWhiteRaised = 2, kBlackShadow = 3 };

class LabelUnit : public frame::UnitObject {
 public:
  friend LRESULT CALLBACK unit_window_procedure<LabelUnit>(HWND, UINT, WPARAM, LPARAM);

  explicit LabelUnit(LabelBlock properties) : properties_(std::move(properties)) {}

  bool create_native_window(const frame::CreateParams& params) {
    if (!register_unit_class(kLabelClassName, unit_window_procedure<LabelUnit>)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style;
    return CreateWindowExA(WS_EX_TRANSPARENT, kLabelClassName, properties_.text.c_str(), style, params.left, params.top,
                           params.width, params.height, params.parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)), GetModuleHandleA(nullptr),
                           this) != nullptr;
  }

  void get(int index, frame::PropertyValue& value) const {
    switch (index) {
      case kText:
        value.data = properties_.text.data();
        value.length = static_cast<uint32_t>(properties_.text.size());
        return;
      case kTextEffect:
        value.low = properties_.text_effect;
        return;
      case kFont:
        if (properties_.font) {
          value.data = &*properties_.font;
          value.length = sizeof(LogFontA);
        }
        return;
      case kTextColour:
        value.low = properties_.text_colour;
        return;
      case kHorizontalAlignment:
        value.low = properties_.horizontal_alignment;
        return;
      case kWordWrap:
        value.low = properties_.word_wrap;
        return;
      case kVerticalAlignment:
        value.low = properties_.vertical_alignment;
        return;
    }
  }

  void set(int index, const frame::PropertyValue& value) {
    store(index, value);
    refresh();
  }

 private:
  void store(int index, const frame::PropertyValue& value) {
    switch (index) {
      case kText:
        properties_.text.assign(static_cast<const char*>(value.data), value.length);
        SetWindowTextA(hwnd_, properties_.text.c_str());
        return;
      case kTextEffect:
        properties_.text_effect = std::min(value.low, kMaxTextEffect);
        return;
      case kFont:
        store_font(value);
        return;
      case kTextColour:
        properties_.text_colour = value.low;
        return;
      case kHorizontalAlignment:
        properties_.horizontal_alignment = std::min(value.low, kMaxHorizontalAlignment);
        return;
      case kWordWrap:
        properties_.word_wrap = value.low != 0;
        return;
      case kVerticalAlignment:
        properties_.vertical_alignment = std::min(value.low, kMaxVerticalAlignment);
        return;
    }
  }

  void store_font(const frame::PropertyValue& value) {
    if (value.data == nullptr || value.length != sizeof(LogFontA)) {
      properties_.font.reset();
      return;
    }
    LogFontA font;
    std::memcpy(&font, value.data, sizeof font);
    properties_.font = font;
  }

  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_PAINT:
        on_paint();
        return 0;
      case WM_MOVE:
        refresh();
        break;
    }
    return DefWindowProcA(hwnd_, message, wparam, lparam);
  }

  // The stored font as it is drawn: its size, weight and face, the rest plain.
  frame::OwnedFont make_font() const {
    if (!properties_.font) return {};
    LOGFONTA font;
    std::memcpy(&font, &*properties_.font, sizeof font);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = 0;
    font.lfClipPrecision = 0;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = 0;
    return frame::OwnedFont(CreateFontIndirectA(&font));
  }

  UINT text_format() const {
    static constexpr UINT kHorizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    static constexpr UINT kVertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    UINT format = DT_NOCLIP | kHorizontal[std::min(properties_.horizontal_alignment, kMaxHorizontalAlignment)];
    if (properties_.word_wrap) return format | DT_WORDBREAK | DT_VCENTER;
    return format | DT_SINGLELINE | kVertical[std::min(properties_.vertical_alignment, kMaxVerticalAlignment)];
  }

  void draw_text(HDC dc, RECT area, COLORREF colour, int offset) const {
    OffsetRect(&area, offset, offset);
    SetTextColor(dc, colour);
    DrawTextA(dc, properties_.text.c_str(), static_cast<int>(properties_.text.size()), &area, text_format());
  }

  void paint_text(HDC dc) const {
    const auto font = make_font();
    const frame::SelectGuard selected(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT area;
    GetClientRect(hwnd_, &area);
    int main_offset = 0;
    switch (properties_.text_effect) {
      case kWhiteShadow:
        draw_text(dc, area, RGB(255, 255, 255), 1);
        break;
      case kBlackShadow:
        draw_text(dc, area, RGB(0, 0, 0), 2);
        break;
      case kWhiteRaised:
        draw_text(dc, area, RGB(255, 255, 255), 0);
        main_offset = 1;
        break;
    }
    draw_text(dc, area, properties_.text_colour, main_offset);
  }

  void on_paint() const {
    const frame::PaintScope paint(hwnd_);
    if (!properties_.text.empty()) paint_text(paint.dc());
  }

  struct RefreshArea {
    HWND label;
    RECT rect;  // screen coordinates
  };

  static BOOL CALLBACK redraw_overlapping(HWND hwnd, LPARAM context) {
    const auto& area = *reinterpret_cast<const RefreshArea*>(context);
    RECT rect, overlap;
    GetWindowRect(hwnd, &rect);
    if (hwnd != area.label && IsWindowVisible(hwnd) && IntersectRect(&overlap, &rect, &area.rect)) {
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    return TRUE;
  }

  // The label has no background: the top-level window repaints what lies under it,
  // then every unit it overlaps, and only then the label's own text.
  void refresh() {
    if (hwnd_ == nullptr) return;
    HWND top = GetAncestor(hwnd_, GA_ROOT);
    RefreshArea area{hwnd_, {}};
    GetWindowRect(hwnd_, &area.rect);
    RECT in_top = area.rect;
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&in_top), 2);
    InvalidateRect(top, &in_top, TRUE);
    UpdateWindow(top);
    EnumChildWindows(top, redraw_overlapping, reinterpret_cast<LPARAM>(&area));
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  LabelBlock properties_;
};

frame::UnitObject* create_label(const frame::CreateParams& params) {
  auto block = decode_label_block({params.data, params.data_length});
  if (!block) return nullptr;
  auto* unit = new LabelUnit(std::move(*block));
  if (!unit->create_native_window(params)) {
    delete unit;
    return nullptr;
  }
  return unit;
}

void get_label_property(void*, frame::UnitObject* unit, int index, frame::PropertyValue* value) {
  static_cast<LabelUnit*>(unit)->get(index, *value);
}

int set_label_property(frame::UnitObject* unit, frame::UnitObject*, int index, const frame::PropertyValue* value, int) {
  static_cast<LabelUnit*>(unit)->set(index, *value);
  return 0;
}

void* label_interface(int request) {
  switch (request) {
    case frame::kRequestCreate:
      return reinterpret_cast<void*>(&create_label);
    case frame::kRequestGetProperty:
      return reinterpret_cast<void*>(&get_label_property);
    case frame::kRequestSetProperty:
      return reinterpret_cast<void*>(&set_label_property);
    default:
      return nullptr;
  }
}

// Slots 0 to 7 are the frame's; the kind's own follow from slot 8.
constexpr frame::PropertyInfo kLabelProperties[] = {
    {"", "", "", frame::kPropertyInteger, 0}, {"", "", "", frame::kPropertyInteger, 0},
    {"", "", "", frame::kPropertyInteger, 0}, {"", "", "", frame::kPropertyInteger, 0},
    {"", "", "", frame::kPropertyText, 0},    {"", "", "", frame::kPropertyBoolean, 0},
    {"", "", "", frame::kPropertyBoolean, 0}, {"", "", "", frame::kPropertyCursor, 0},
    {"", "", "", frame::kPropertyText, 0},    {"", "", "", frame::kPropertyChoice, 0},
    {"", "", "", frame::kPropertyFont, 0},    {"", "", "", frame::kPropertyColour, 0},
    {"", "", "", frame::kPropertyChoice, 0},  {"", "", "", frame::kPropertyBoolean, 0},
    {"", "", "", frame::kPropertyChoice, 0},
};

}  // namespace

const frame::KindDescriptor kTransparentLabelKind = {
    "透明标签",
    "TransLabel",
    "",
    0,
    nullptr,
    0x00012040,
    0,
    0,
    nullptr,
    static_cast<uint32_t>(std::size(kLabelProperties)),
    kLabelProperties,
    label_interface,
    0,
    nullptr,
};

}  // namespace units
