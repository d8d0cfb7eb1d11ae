// The window kind seen from outside a probe program (window_unit_probe.cpp): its
// frame and styles, dragging and closing with real input, its shape as the window
// region the system holds, and its background as pixels on the screen.
#include <gtest/gtest.h>

#include <thread>

#include "canvas.h"
#include "frame/owned_handle.h"
#include "logged_run.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;
using namespace support::colours;

constexpr char kProbe[] = "TRELLIMO_WINDOW_PROBE";
constexpr wchar_t kClass[] = L"window_probe";

// The template's colours as the screen shows them.
constexpr COLORREF kBackground = RGB(0x00, 0x40, 0x80);

constexpr char kClosedLog[] = "created\nclose asked 1\nclose\ndestroying\nloop returned\n";

// A probe whose window is on the screen; a probe still running at the end is ended.
class ShownWindow {
 public:
  explicit ShownWindow(const std::string& scenario)
      : probe_(kProbe, scenario), hwnd_(driver::wait_for_window(probe_.process().id(), kClass, 20s)) {}

  HWND hwnd() const { return hwnd_; }
  driver::Probe& probe() { return probe_; }
  RECT rect() const { return driver::window_rect(hwnd_); }

  // The pixel at (x, y) of the window once the screen shows `expected` there, or the
  // last pixel seen when it never does.
  COLORREF pixel_becomes(int x, int y, COLORREF expected) const {
    COLORREF seen = 0;
    driver::wait_until(5s, [&] {
      const RECT area = rect();
      seen = driver::pixel_at(driver::capture_screen(area), area, x, y);
      return seen == expected;
    });
    return seen;
  }

  COLORREF pixel_now(int x, int y) const {
    const RECT area = rect();
    return driver::pixel_at(driver::capture_screen(area), area, x, y);
  }

  std::optional<DWORD> close_with_escape() {
    driver::press_key(hwnd_, VK_ESCAPE);
    return probe_.process().wait_for_exit(20s);
  }

 private:
  driver::Probe probe_;
  HWND hwnd_;
};

struct Pixel {
  int x, y;
  COLORREF colour;
};

void expect_pixels(const ShownWindow& window, std::initializer_list<Pixel> pixels) {
  for (const Pixel& pixel : pixels) {
    EXPECT_EQ(window.pixel_becomes(pixel.x, pixel.y, pixel.colour), pixel.colour)
        << "at (" << pixel.x << ", " << pixel.y << ")";
  }
}

bool moved_by(HWND hwnd, const RECT& before, int dx, int dy) {
  const RECT now = driver::window_rect(hwnd);
  return now.left == before.left + dx && now.top == before.top + dy;
}

TEST(Chrome, BorderZeroWithAnEmptyTitleHasNoCaption) {
  ShownWindow window("as-loaded");
  ASSERT_NE(window.hwnd(), nullptr);
  const LONG style = GetWindowLongW(window.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  RECT client = {};
  GetClientRect(window.hwnd(), &client);
  const RECT outer = window.rect();
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 80);
  EXPECT_EQ(client.right, outer.right - outer.left);
  EXPECT_EQ(client.bottom, outer.bottom - outer.top);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 150);
  // Shown in the taskbar: nobody owns it.
  EXPECT_EQ(GetWindow(window.hwnd(), GW_OWNER), nullptr);
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

TEST(Closing, EscClosesAfterEvents12And1ThenEvent2) {
  ShownWindow window("as-loaded");
  ASSERT_NE(window.hwnd(), nullptr);
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
  EXPECT_EQ(window.probe().log(), kClosedLog);
}

TEST(Closing, ACloseRefusedByEvent12DoesNotRaiseEvent1) {
  ShownWindow window("refuse-first-close");
  ASSERT_NE(window.hwnd(), nullptr);
  driver::press_key(window.hwnd(), VK_ESCAPE);
  ASSERT_TRUE(driver::wait_until(10s, [&] { return window.probe().log() == "created\nclose asked 1\n"; }));
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(IsWindow(window.hwnd()));
  EXPECT_EQ(window.probe().log(), "created\nclose asked 1\n");
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
  EXPECT_EQ(window.probe().log(), "created\nclose asked 1\nclose asked 2\nclose\ndestroying\nloop returned\n");
}

TEST(DragAnywhere, APictureBoxAndTheSurfaceDragTheWindowAPictureButtonDoesNot) {
  ShownWindow window("as-loaded");
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_EQ(window.pixel_becomes(150, 40, kBackground), kBackground);

  RECT before = window.rect();
  const POINT on_picture_box{before.left + 40, before.top + 125};
  driver::drag(on_picture_box, {on_picture_box.x + 40, on_picture_box.y + 30});
  EXPECT_TRUE(driver::wait_until(5s, [&] { return moved_by(window.hwnd(), before, 40, 30); }));

  before = window.rect();
  const POINT on_button{before.left + 130, before.top + 125};
  driver::drag(on_button, {on_button.x + 40, on_button.y + 30});
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(moved_by(window.hwnd(), before, 0, 0));

  before = window.rect();
  const POINT on_surface{before.left + 190, before.top + 20};
  driver::drag(on_surface, {on_surface.x - 50, on_surface.y + 10});
  EXPECT_TRUE(driver::wait_until(5s, [&] { return moved_by(window.hwnd(), before, -50, 10); }));

  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

// The region the system holds for the window covers exactly the pixels of one made
// here. Compared through their difference: Wine's EqualRgn compares the bands as
// stored, and the regions GDI makes are not always stored with merged bands.
bool region_equals(HWND hwnd, HRGN expected) {
  const frame::OwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  const frame::OwnedRegion difference(CreateRectRgn(0, 0, 0, 0));
  if (GetWindowRgn(hwnd, region.get()) == ERROR) return false;
  return CombineRgn(difference.get(), region.get(), expected, RGN_XOR) == NULLREGION;
}

bool region_is_round_rect(HWND hwnd, int width, int height, int diameter) {
  const frame::OwnedRegion expected(CreateRoundRectRgn(0, 0, width, height, diameter, diameter));
  return region_equals(hwnd, expected.get());
}

TEST(Shape, RoundedRectangleUsesAFifthOfTheSmallerSideAndFollowsResizing) {
  ShownWindow window("rounded-rectangle");
  ASSERT_NE(window.hwnd(), nullptr);
  ASSERT_TRUE(driver::wait_until(5s, [&] { return region_is_round_rect(window.hwnd(), 100, 40, 8); }));
  EXPECT_FALSE(region_is_round_rect(window.hwnd(), 100, 40, 20));
  // The corner pixel is cut away; the middle of the left edge is not.
  EXPECT_EQ(window.pixel_becomes(0, 20, kBackground), kBackground);
  EXPECT_NE(window.pixel_now(0, 0), kBackground);

  SetWindowPos(window.hwnd(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(driver::wait_until(5s, [&] { return region_is_round_rect(window.hwnd(), 200, 100, 20); }));
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

TEST(Shape, PolygonFiveIsTheDownwardTriangleOfItsPoints) {
  ShownWindow window("triangle");
  ASSERT_NE(window.hwnd(), nullptr);
  // (0,0) (32767,0) (16383,32767) on 120 x 60, traced as a path.
  const frame::OwnedDc dc(CreateCompatibleDC(nullptr));
  BeginPath(dc.get());
  const POINT points[] = {{0, 0}, {120, 0}, {60, 60}};
  Polygon(dc.get(), points, 3);
  EndPath(dc.get());
  const frame::OwnedRegion expected(PathToRegion(dc.get()));
  EXPECT_TRUE(driver::wait_until(5s, [&] { return region_equals(window.hwnd(), expected.get()); }));
  EXPECT_EQ(window.pixel_becomes(60, 3, kBackground), kBackground);
  EXPECT_NE(window.pixel_now(3, 55), kBackground);
  EXPECT_NE(window.pixel_now(116, 55), kBackground);
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

TEST(Background, PictureModeTwoCentresAPictureSmallerThanTheWindowUnscaled) {
  ShownWindow window("centred-picture");
  ASSERT_NE(window.hwnd(), nullptr);
  // 80 x 40 on 200 x 150: from (60, 55) to (140, 95).
  expect_pixels(window, {{60, 55, kRed},
                         {99, 55, kRed},
                         {100, 55, kBlue},
                         {60, 75, kYellow},
                         {139, 94, kWhite},
                         {59, 55, kBackground},
                         {60, 54, kBackground},
                         {140, 94, kBackground},
                         {139, 95, kBackground}});
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

TEST(Background, PictureModeTwoScalesALargerPictureDownKeepingItsAspect) {
  ShownWindow window("fitted-picture");
  ASSERT_NE(window.hwnd(), nullptr);
  // 80 x 40 on 40 x 100: factor 1/2, 40 x 20 from (0, 40) to (40, 60).
  expect_pixels(window, {{5, 44, kRed},
                         {35, 44, kBlue},
                         {5, 55, kYellow},
                         {35, 55, kWhite},
                         {20, 38, kBackground},
                         {20, 61, kBackground}});
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

TEST(Background, PictureModeOneTilesFromTheCorner) {
  ShownWindow window("tiled-picture");
  ASSERT_NE(window.hwnd(), nullptr);
  // Tiles start at x 0, 80, 160 and y 0, 40, 80, 120.
  expect_pixels(window, {{0, 0, kRed},
                         {79, 0, kBlue},
                         {80, 0, kRed},
                         {160, 80, kRed},
                         {120, 60, kWhite},
                         {199, 149, kYellow},
                         {40, 139, kBlue}});
  // A tile larger than the window is drawn once, from the corner.
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 60, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  expect_pixels(window, {{0, 0, kRed}, {39, 19, kRed}, {59, 29, kWhite}, {45, 5, kBlue}});
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

// Scenarios that look at the window from inside the probe and log what they saw.
class WindowFromInside : public testing::TestWithParam<driver::LoggedRun> {};

TEST_P(WindowFromInside, LogsWhatTheWindowDid) { driver::expect_logged_run(kProbe, GetParam()); }

// Borders 0 to 6 with a title and a control box; off the taskbar the hidden owner
// owns the window; start position 2 creates it minimized.
constexpr char kCreationStyles[] =
    "border 0: caption 0 thick 0 popup 0 minimize 0 tool 0 edge 0 owner none\n"
    "border 1: caption 1 thick 1 popup 0 minimize 0 tool 0 edge 0 owner none\n"
    "border 2: caption 1 thick 0 popup 0 minimize 0 tool 0 edge 0 owner none\n"
    "border 3: caption 1 thick 1 popup 0 minimize 0 tool 1 edge 0 owner none\n"
    "border 4: caption 1 thick 0 popup 0 minimize 0 tool 1 edge 0 owner none\n"
    "border 5: caption 1 thick 1 popup 0 minimize 0 tool 0 edge 1 owner none\n"
    "border 6: caption 1 thick 0 popup 0 minimize 0 tool 0 edge 1 owner none\n"
    "off the taskbar: caption 1 thick 0 popup 1 minimize 0 tool 0 edge 0 owner _QV_HideOwner\n"
    "start minimized: caption 1 thick 0 popup 0 minimize 1 tool 0 edge 0 owner none\n";

// Painted into a context the caller hands over: (60, 55) is the centred picture's
// red corner, (0, 0) the background colour, both as COLORREFs (0x00BBGGRR).
constexpr char kPaintInto[] =
    "created\n"
    "answer 20141111\n"
    "picture corner 0x000000FF\n"
    "background 0x00804000\n"
    "destroying\n";

constexpr char kIcons[] =
    "created\n"
    "large 32x32\n"
    "small 16x16\n"
    "emptied large none\n"
    "destroying\n";

// Added, replaced, clicked (left up, left double click, right up, context menu; a
// mouse move is no event), removed, and gone with the window.
constexpr char kTray[] =
    "created\n"
    "added 1\n"
    "shown 1\n"
    "replaced 1\n"
    "tray 1\n"
    "tray 2\n"
    "tray 3\n"
    "tray 3\n"
    "removed 1\n"
    "shown after removal 0\n"
    "destroying\n"
    "shown after destruction 0\n";

INSTANTIATE_TEST_SUITE_P(Window, WindowFromInside,
                         testing::Values(driver::LoggedRun{"CreationStyles", "creation-styles", 0, kCreationStyles},
                                         driver::LoggedRun{"PaintInto", "paint-into", 0, kPaintInto},
                                         driver::LoggedRun{"Icons", "icons", 0, kIcons},
                                         driver::LoggedRun{"Tray", "tray", 0, kTray}),
                         driver::logged_run_name);

HWND focus_of(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// The child unit whose top-left corner is at (x, y) of the window's client area.
HWND unit_at(HWND window, int x, int y) {
  for (HWND child : driver::child_windows(window)) {
    RECT rect = driver::window_rect(child);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.left == x && rect.top == y) return child;
  }
  return nullptr;
}

TEST(Keyboard, TabAndShiftTabFollowTheTabOrder) {
  ShownWindow window("as-loaded");
  ASSERT_NE(window.hwnd(), nullptr);
  const HWND picture_box = unit_at(window.hwnd(), 10, 110);  // tab order 2
  const HWND button = unit_at(window.hwnd(), 100, 110);      // tab order 1
  ASSERT_NE(picture_box, nullptr);
  ASSERT_NE(button, nullptr);
  SetForegroundWindow(window.hwnd());
  EXPECT_TRUE(driver::wait_until(5s, [&] { return focus_of(window.hwnd()) == button; }));
  driver::press_key(window.hwnd(), VK_TAB);
  EXPECT_TRUE(driver::wait_until(5s, [&] { return focus_of(window.hwnd()) == picture_box; }));
  driver::press_key(window.hwnd(), VK_TAB);
  EXPECT_TRUE(driver::wait_until(5s, [&] { return focus_of(window.hwnd()) == button; }));
  driver::press_key(window.hwnd(), VK_TAB, true);
  EXPECT_TRUE(driver::wait_until(5s, [&] { return focus_of(window.hwnd()) == picture_box; }));
  EXPECT_EQ(window.close_with_escape(), std::optional<DWORD>(0));
}

}  // namespace
