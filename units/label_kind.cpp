// The `TransLabel` kind: text drawn straight onto whatever its parent paints. Every
// write repaints the parent under the label first, so a shorter text leaves no trace
// of a longer one.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

#include "frame/gbk_wide.h"
#include "frame/gdi_scopes.h"
#include "frame/owned_handle.h"
#include "frame/unit_object.h"
#include "units/accessible_unit.h"
#include "units/kind_adapter.h"
#include "units/label_block.h"
#include "units/native_window.h"
#include "units/unit_libraries.h"

namespace units {
namespace {

constexpr wchar_t kLabelClassName[] = L"_QV_TransLabel";

enum TextEffect : uint32_t { kNoEffect = 0, kWhiteShadow = 1, kWhiteRaised = 2, kBlackShadow = 3 };

class LabelUnit : public KindUnit<LabelBlock, LabelEffect, kLabelProperties, decode_label_block>,
                  public AccessibleSource {
 public:
  friend LRESULT CALLBACK unit_window_procedure<LabelUnit>(HWND, UINT, WPARAM, LPARAM);

  LabelUnit(LabelBlock properties, const frame::CreateParams&) : KindUnit(std::move(properties)), accessible_(*this) {}

  // Its caption is its window text, so its name.
  AccessibleLook accessible_look() const override { return {ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, {}, {}}; }

  bool create_native_window(const frame::CreateParams& params) {
    if (!register_unit_class(kLabelClassName, unit_window_procedure<LabelUnit>)) return false;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | params.extra_style;
    return CreateWindowExW(WS_EX_TRANSPARENT, kLabelClassName, frame::wide_from_gbk(properties_.text).c_str(), style,
                           params.left, params.top, params.width, params.height, params.parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(params.control_id)), GetModuleHandleW(nullptr),
                           this) != nullptr;
  }

  void apply(Effect effect, int) {
    if (effect == Effect::text) set_window_text_from_gbk(hwnd_, properties_.text);
    refresh();
  }

 private:
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_PAINT:
        on_paint();
        return 0;
      case WM_MOVE:
        refresh();
        break;
      case WM_GETOBJECT:
        return accessible_.answer_get_object(hwnd_, wparam, lparam);
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }

  // The stored font as it is drawn: its size, weight and face, the rest plain. The
  // face name is stored as GBK, like every other text. The character set is the
  // texts' own, GB2312, not the system's: on an English Windows the system's would
  // pick a face without Chinese glyphs, and the label would show empty boxes.
  frame::OwnedFont make_font() const {
    if (!properties_.font) return {};
    const LogFontA& stored = *properties_.font;
    LOGFONTW font = {};
    // The fields before the face name are laid out alike in both forms.
    static_assert(offsetof(LogFontA, lfFaceName) == offsetof(LOGFONTW, lfFaceName));
    std::memcpy(&font, &stored, offsetof(LOGFONTW, lfFaceName));
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = 0;
    font.lfClipPrecision = 0;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = 0;
    const std::wstring face =
        frame::wide_from_gbk(std::string_view(stored.lfFaceName, strnlen(stored.lfFaceName, LF_FACESIZE)));
    face.copy(font.lfFaceName, std::min<size_t>(face.size(), LF_FACESIZE - 1));
    return frame::OwnedFont(CreateFontIndirectW(&font));
  }

  UINT text_format() const {
    static constexpr UINT kHorizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    static constexpr UINT kVertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    UINT format =
        DT_NOCLIP | kHorizontal[std::min<size_t>(properties_.horizontal_alignment, std::size(kHorizontal) - 1)];
    if (properties_.word_wrap) return format | DT_WORDBREAK | DT_VCENTER;
    return format | DT_SINGLELINE |
           kVertical[std::min<size_t>(properties_.vertical_alignment, std::size(kVertical) - 1)];
  }

  void draw_text(HDC dc, RECT area, COLORREF colour, int offset) const {
    OffsetRect(&area, offset, offset);
    SetTextColor(dc, colour);
    const std::wstring text = frame::wide_from_gbk(properties_.text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, text_format());
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

  AccessibleClient accessible_;
};

}  // namespace

const frame::KindDescriptor kTransparentLabelKind = KindAdapter<LabelUnit, kLabelNames>::descriptor();

}  // namespace units
