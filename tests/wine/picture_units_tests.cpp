// The picture box, picture button and transparent label as a person sees them: the
// screen over each unit is read back while the real mouse moves and the probe
// (picture_units_probe.cpp) writes properties. Covers the display modes and the
// progress fill, the label's refresh under a shorter text, the button looks and
// clicks, and GIF playback with its worker thread.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "canvas.h"
#include "frame/owned_handle.h"
#include "frame/properties.h"
#include "picture_units_commands.h"
#include "pictures/decode.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;
using namespace picture_units;
using std::chrono::milliseconds;
using namespace support::colours;

constexpr COLORREF kWindowBackground = RGB(0x40, 0x40, 0x40);
constexpr COLORREF kMagenta = RGB(0xFF, 0x00, 0xFF);  // the progress and stretched boxes' background
constexpr COLORREF kTeal = RGB(0x00, 0x80, 0x80);     // the centred box's background
constexpr COLORREF kCheckerDark = RGB(0x20, 0x30, 0x60);
constexpr COLORREF kCheckerLight = RGB(0xC0, 0x80, 0x40);
constexpr COLORREF kButtonNormal = RGB(0xC0, 0x00, 0x00);
constexpr COLORREF kButtonHover = RGB(0x00, 0xA0, 0x00);
constexpr COLORREF kButtonPressed = RGB(0x00, 0x00, 0xC0);
// A full-quality JPEG of solid 8 x 8 blocks comes back within a step or two.
constexpr int kJpegTolerance = 8;
constexpr milliseconds kSettle = 5s;

std::string hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

bool within(COLORREF actual, COLORREF expected, int tolerance) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

// What the screen shows over an area, in the area's own coordinates.
class Look {
 public:
  explicit Look(RECT area) : width_(area.right - area.left), pixels_(driver::capture_screen(area)) {}
  COLORREF at(int x, int y) const { return pixels_.empty() ? CLR_INVALID : pixels_[size_t(y) * width_ + x]; }

 private:
  int width_;
  std::vector<COLORREF> pixels_;
};

// Waits until `ready` holds for the screen over `area`, or the timeout passes, and
// returns the last look either way.
Look settle(RECT area, const std::function<bool(const Look&)>& ready, milliseconds timeout = kSettle) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    Look look(area);
    if (ready(look) || std::chrono::steady_clock::now() >= deadline) return look;
    std::this_thread::sleep_for(20ms);
  }
}

struct Spot {
  int x, y;
  COLORREF colour;
  int tolerance = 0;
};

testing::AssertionResult shows(const Look& look, const Spot& spot) {
  const COLORREF actual = look.at(spot.x, spot.y);
  if (within(actual, spot.colour, spot.tolerance)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "(" << spot.x << "," << spot.y << ") shows " << hex(actual) << ", expected "
                                     << hex(spot.colour) << " within " << spot.tolerance;
}

// Screens take a moment to show a change: waits until every spot shows its colour,
// then checks each one so a failure names the spot.
void expect_spots(RECT area, const std::vector<Spot>& spots) {
  const Look look = settle(area, [&](const Look& l) {
    return std::all_of(spots.begin(), spots.end(), [&](const Spot& s) { return static_cast<bool>(shows(l, s)); });
  });
  for (const Spot& spot : spots) EXPECT_TRUE(shows(look, spot));
}

bool includes(const std::set<COLORREF>& seen, const std::set<COLORREF>& wanted) {
  return std::includes(seen.begin(), seen.end(), wanted.begin(), wanted.end());
}

// The colours one point shows over a stretch of time, sampled as fast as the screen
// can be read; stops early once every colour of `wanted` has been seen.
std::set<COLORREF> colours_seen(RECT area, POINT at, milliseconds duration, const std::set<COLORREF>& wanted = {}) {
  std::set<COLORREF> seen;
  const auto deadline = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < deadline && (wanted.empty() || !includes(seen, wanted))) {
    seen.insert(Look(area).at(at.x, at.y));
    std::this_thread::sleep_for(10ms);
  }
  return seen;
}

std::set<DWORD> thread_ids(DWORD process_id) {
  std::set<DWORD> ids;
  const frame::OwnedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == process_id) ids.insert(entry.th32ThreadID);
  }
  return ids;
}

template <typename Condition>
bool eventually(Condition condition, milliseconds timeout = kSettle) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The probe with its window on the screen, and its control window to ask through.
class PictureUnitsProbe {
 public:
  PictureUnitsProbe() : probe_("TRELLIMO_PICTURE_UNITS_PROBE", "picture-units") {
    window_ = driver::wait_for_window(id(), kWindowClass, 20s);
    const std::vector<HWND> windows = driver::top_level_windows(id());
    const auto control = std::find_if(windows.begin(), windows.end(),
                                      [](HWND hwnd) { return driver::class_name(hwnd) == kControlClass; });
    control_ = control != windows.end() ? *control : nullptr;
  }

  bool ready() const { return window_ != nullptr && control_ != nullptr; }
  HWND window() const { return window_; }
  DWORD id() { return probe_.process().id(); }
  driver::ChildProcess& process() { return probe_.process(); }
  std::string log() const { return probe_.log(); }

  void write(Unit unit, int property, int32_t value) { send(kWriteInteger, unit_property(unit, property), value); }
  int32_t read(Unit unit, int property) {
    return static_cast<int32_t>(send(kReadInteger, unit_property(unit, property), 0));
  }
  void write_picture(Unit unit, int property, Fixture fixture) {
    send(kWritePicture, unit_property(unit, property), static_cast<LPARAM>(fixture));
  }
  void write_text(Unit unit, int property, Text text) {
    send(kWriteText, unit_property(unit, property), static_cast<LPARAM>(text));
  }
  HWND unit(Unit unit) { return reinterpret_cast<HWND>(send(kUnitWindow, static_cast<WPARAM>(unit), 0)); }
  void destroy_window() { send(kDestroyWindow, 0, 0); }
  void finish() { send(kFinish, 0, 0); }

  // An area of the screen from the unit's top-left corner, of any size.
  RECT area(Unit which, int width, int height) {
    const RECT rect = driver::window_rect(unit(which));
    return {rect.left, rect.top, rect.left + width, rect.top + height};
  }
  RECT area(Unit which) { return driver::window_rect(unit(which)); }

  bool logged(const std::string& text) {
    return eventually([&] { return log() == text; });
  }

 private:
  LRESULT send(UINT command, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control_, command, wparam, lparam, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
  }

  driver::Probe probe_;
  HWND window_ = nullptr;
  HWND control_ = nullptr;
};

// Every test starts from the probe with its window and control window up.
class PictureUnits : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(probe_.ready()); }

  PictureUnitsProbe probe_;
};

using PictureBoxLooks = PictureUnits;
using TransparentLabelLooks = PictureUnits;
using PictureButtonKeys = PictureUnits;
using PictureBoxAnimation = PictureUnits;

POINT centre(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A button's look is one solid picture: its corners and centre.
std::vector<Spot> whole_button(COLORREF colour) {
  return {{1, 1, colour}, {58, 1, colour}, {30, 12, colour}, {1, 22, colour}, {58, 22, colour}};
}

// The 4 x 4 quadrants picture on a button: at its top-left corner, black around it.
std::vector<Spot> quadrants_in_the_corner() {
  return {{0, 0, kRed}, {3, 1, kLime}, {1, 3, kBlue}, {3, 3, kWhite}, {4, 4, kBlack}, {58, 22, kBlack}};
}

// The label's backdrop: 8 x 8 squares, dark first.
COLORREF checker_at(int x, int y) { return (x / 8 + y / 8) % 2 == 0 ? kCheckerDark : kCheckerLight; }

bool columns_show_checker(const Look& look, int from, int to) {
  for (int y = 0; y < 24; ++y)
    for (int x = from; x < to; ++x)
      if (look.at(x, y) != checker_at(x, y)) return false;
  return true;
}

bool columns_show_text(const Look& look, int from, int to) {
  for (int y = 0; y < 24; ++y)
    for (int x = from; x < to; ++x)
      if (look.at(x, y) == kWhite) return true;
  return false;
}

TEST_F(PictureBoxLooks, NaturalSizeIsClippedAndAGrowingWidthRevealsThePictureFromTheLeft) {
  // The box is 12 high over a 64 x 16 picture; the area looks past both.
  const RECT area = probe_.area(Unit::progress, 110, 16);
  expect_spots(area, {{0, 0, kWindowBackground}, {8, 4, kWindowBackground}, {60, 10, kWindowBackground}});

  probe_.write(Unit::progress, frame::kPropertyWidth, 24);
  expect_spots(area, {{0, 0, kRed, kJpegTolerance},
                      {8, 4, kRed, kJpegTolerance},
                      {20, 4, kLime, kJpegTolerance},
                      {23, 11, kLime, kJpegTolerance},
                      {24, 4, kWindowBackground},
                      {40, 4, kWindowBackground},
                      {8, 12, kWindowBackground}});

  probe_.write(Unit::progress, frame::kPropertyWidth, 100);
  expect_spots(area, {{8, 4, kRed, kJpegTolerance},
                      {24, 4, kLime, kJpegTolerance},
                      {40, 4, kBlue, kJpegTolerance},
                      {56, 4, kYellow, kJpegTolerance},
                      {63, 11, kYellow, kJpegTolerance},
                      {64, 4, kMagenta},
                      {99, 11, kMagenta},
                      {100, 4, kWindowBackground},
                      {40, 12, kWindowBackground},
                      {63, 15, kWindowBackground}});
  EXPECT_EQ(probe_.read(Unit::progress, frame::kPropertyWidth), 100);
}

TEST_F(PictureBoxLooks, StretchedFillsTheWholeBox) {
  const RECT area = probe_.area(Unit::stretched);
  // A 4 x 4 picture of 2 x 2 quadrants over 80 x 40.
  expect_spots(area,
               {{20, 10, kRed}, {60, 10, kLime}, {20, 30, kBlue}, {60, 30, kWhite}, {1, 1, kRed}, {78, 38, kWhite}});
}

TEST_F(PictureBoxLooks, CentredShrinksWhenTheClientIsSmallerAndKeepsNaturalSizeOtherwise) {
  const RECT area = probe_.area(Unit::centred, 100, 60);
  // 40 x 40 (red left half, blue right half) in 80 x 20: half size, 20 x 20 at (30, 0).
  expect_spots(area,
               {{29, 10, kTeal}, {31, 10, kRed}, {38, 19, kRed}, {42, 0, kBlue}, {49, 10, kBlue}, {50, 10, kTeal}});

  probe_.write(Unit::centred, frame::kPropertyWidth, 100);
  probe_.write(Unit::centred, frame::kPropertyHeight, 60);
  // Natural size in 100 x 60: 40 x 40 at (30, 10).
  expect_spots(area, {{29, 30, kTeal},
                      {30, 10, kRed},
                      {49, 49, kRed},
                      {50, 10, kBlue},
                      {69, 49, kBlue},
                      {70, 30, kTeal},
                      {50, 9, kTeal},
                      {50, 50, kTeal}});

  probe_.write(Unit::centred, kPictureBoxDisplayMode, 3);
  EXPECT_EQ(probe_.read(Unit::centred, kPictureBoxDisplayMode), 2);
}

TEST_F(TransparentLabelLooks, AShorterTextLeavesNoTraceOfTheLongerOne) {
  const RECT area = probe_.area(Unit::label);

  // An empty text paints nothing: the picture under it shows whole.
  Look look = settle(area, [](const Look& l) { return columns_show_checker(l, 0, 200); });
  EXPECT_TRUE(columns_show_checker(look, 0, 200));

  probe_.write_text(Unit::label, kLabelText, Text::long_text);
  look = settle(area, [](const Look& l) { return columns_show_text(l, 0, 60) && columns_show_text(l, 100, 160); });
  EXPECT_TRUE(columns_show_text(look, 0, 60));
  EXPECT_TRUE(columns_show_text(look, 100, 160));

  probe_.write_text(Unit::label, kLabelText, Text::short_text);
  look = settle(area, [](const Look& l) { return columns_show_text(l, 0, 60) && columns_show_checker(l, 80, 200); });
  EXPECT_TRUE(columns_show_text(look, 0, 60));
  EXPECT_TRUE(columns_show_checker(look, 80, 200));
}

// The buttons' looks are read off the screen over the push button, or the toggle.
class PictureButtonLooks : public PictureUnits {
 protected:
  void SetUp() override {
    PictureUnits::SetUp();
    if (!HasFatalFailure()) push_ = probe_.area(Unit::push);
  }

  // Where the pointer rests between steps: the window's own background, off every unit.
  POINT resting_point() const { return {push_.left + 30, push_.top - 8}; }

  RECT push_{};
};

// The pointer onto a push button, then its left button down, each step seen on the screen.
void hover_then_press(RECT push) {
  driver::move_mouse(centre(push));
  expect_spots(push, whole_button(kButtonHover));
  driver::press_left_button();
  expect_spots(push, whole_button(kButtonPressed));
}

TEST_F(PictureButtonLooks, PushButtonShowsHoverAndPressedUnderTheRealMouseAndClicksOnce) {
  driver::move_mouse(resting_point());
  expect_spots(push_, whole_button(kButtonNormal));

  hover_then_press(push_);
  driver::release_left_button();
  EXPECT_TRUE(probe_.logged("push clicked\n"));

  driver::move_mouse(resting_point());
  expect_spots(push_, whole_button(kButtonNormal));
  // Input is handled in order: once the toggle's click is in, no second push click is coming.
  driver::click(probe_.unit(Unit::toggle));
  EXPECT_TRUE(probe_.logged("push clicked\ntoggle clicked\n")) << probe_.log();
}

TEST_F(PictureButtonLooks, PressingMovingOffAndReleasingOutsideRaisesNothing) {
  hover_then_press(push_);

  driver::move_mouse(resting_point());
  expect_spots(push_, whole_button(kButtonNormal));
  driver::release_left_button();
  expect_spots(push_, whole_button(kButtonNormal));

  driver::click(probe_.unit(Unit::toggle));
  EXPECT_TRUE(probe_.logged("toggle clicked\n")) << probe_.log();
}

TEST_F(PictureButtonLooks, ANewNormalPictureWaitsBehindTheHoverLookAndLeavesUncoveredPartsBlack) {
  driver::move_mouse(centre(push_));
  expect_spots(push_, whole_button(kButtonHover));
  probe_.write_picture(Unit::push, kButtonNormalPicture, Fixture::quadrants_png);
  EXPECT_EQ(colours_seen(push_, {30, 12}, 400ms), std::set<COLORREF>{kButtonHover});

  // Off the button: the new normal picture.
  driver::move_mouse(resting_point());
  expect_spots(push_, quadrants_in_the_corner());
  // Disabled without a disabled picture: the normal picture still.
  probe_.write(Unit::push, frame::kPropertyDisabled, 1);
  EXPECT_EQ(probe_.read(Unit::push, frame::kPropertyDisabled), 1);
  expect_spots(push_, quadrants_in_the_corner());
}

// The face on show is drawn again as soon as its picture is written.
TEST_F(PictureButtonLooks, ANewHoverPictureShowsAtOnceWhileHovering) {
  driver::move_mouse(centre(push_));
  expect_spots(push_, whole_button(kButtonHover));
  probe_.write_picture(Unit::push, kButtonHoverPicture, Fixture::quadrants_png);
  expect_spots(push_, quadrants_in_the_corner());
  driver::move_mouse(resting_point());
  expect_spots(push_, whole_button(kButtonNormal));
}

TEST_F(PictureButtonLooks, ToggleFlipsOnEachClickAndNeverShowsHover) {
  const RECT toggle = probe_.area(Unit::toggle);
  const POINT middle{toggle.left + 30, toggle.top + 12};
  const POINT inside{30, 12};
  driver::move_mouse(resting_point());
  expect_spots(toggle, whole_button(kButtonNormal));

  driver::move_mouse(middle);
  driver::move_mouse({middle.x + 1, middle.y});
  EXPECT_EQ(colours_seen(toggle, inside, 800ms), std::set<COLORREF>{kButtonNormal});
  // A press alone does nothing to a toggle; the release flips it.
  driver::press_left_button();
  EXPECT_EQ(colours_seen(toggle, inside, 400ms), std::set<COLORREF>{kButtonNormal});
  driver::release_left_button();
  expect_spots(toggle, whole_button(kButtonPressed));
  EXPECT_TRUE(probe_.logged("toggle clicked\n"));
  EXPECT_EQ(probe_.read(Unit::toggle, kButtonChecked), 1);

  driver::move_mouse(resting_point());
  driver::move_mouse(middle);
  EXPECT_EQ(colours_seen(toggle, inside, 800ms), std::set<COLORREF>{kButtonPressed});

  driver::click(probe_.unit(Unit::toggle));
  expect_spots(toggle, whole_button(kButtonNormal));
  EXPECT_TRUE(probe_.logged("toggle clicked\ntoggle clicked\n"));
  EXPECT_EQ(probe_.read(Unit::toggle, kButtonChecked), 0);
}

// The probe's window keeps the focus itself (none of its units is a tab stop), so
// Enter clicks its first push button, but only one that is shown.
TEST_F(PictureButtonKeys, EnterOnTheWindowClicksItsFirstShownPushButtonOnly) {
  driver::press_key(probe_.window(), VK_RETURN);
  EXPECT_TRUE(probe_.logged("push clicked\n")) << probe_.log();

  probe_.write(Unit::push, frame::kPropertyVisible, 0);
  driver::press_key(probe_.window(), VK_RETURN);
  // Input is handled in order: once the toggle's click is in, no Enter click is coming.
  driver::click(probe_.unit(Unit::toggle));
  EXPECT_TRUE(probe_.logged("push clicked\ntoggle clicked\n")) << probe_.log();
}

// The threads the probe has beyond `before`, once there are exactly `count` of them.
std::set<DWORD> new_threads(DWORD process_id, const std::set<DWORD>& before, size_t count) {
  std::set<DWORD> added;
  eventually([&] {
    added.clear();
    for (DWORD id : thread_ids(process_id))
      if (!before.count(id)) added.insert(id);
    return added.size() == count;
  });
  return added;
}

const std::set<COLORREF> kAllFrames{kRed, kLime, kBlue};

// Playback seen at one point: every frame in turn, and nothing but the frames and
// what the box showed before (never the bare background of the frame bitmap).
void expect_playing(RECT area, POINT at, COLORREF shown_before) {
  std::set<COLORREF> seen = colours_seen(area, at, 5s, kAllFrames);
  EXPECT_TRUE(includes(seen, kAllFrames)) << seen.size() << " colours seen";
  seen.erase(shown_before);
  for (COLORREF colour : seen) EXPECT_TRUE(kAllFrames.count(colour)) << hex(colour) << " is no frame";
}

// A composed frame as ImageMagick made it (24-bit BMP beside the GIF), top-down.
std::vector<COLORREF> reference_frame(const char* name) {
  auto picture = pictures::decode_picture_file(std::string(PICTURE_FIXTURES) + "/" + name);
  std::vector<COLORREF> pixels;
  if (!picture) return pixels;
  for (int y = 0; y < picture->height; ++y)
    for (int x = 0; x < picture->width; ++x) {
      const uint8_t* bgr = &picture->pixels[(size_t(picture->height - 1 - y) * picture->width + x) * 3];
      pixels.push_back(RGB(bgr[2], bgr[1], bgr[0]));
    }
  return pixels;
}

// Pixels of the 24 x 24 box that differ from the frame.
int differing(const Look& look, const std::vector<COLORREF>& frame) {
  int count = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) count += look.at(x, y) != frame[size_t(y) * 24 + x];
  return count;
}

// Waits for a look of the box that is exactly `frame`; the fewest pixels that
// differed in any look otherwise.
int closest_look(RECT area, const std::vector<COLORREF>& frame) {
  int fewest = 24 * 24;
  settle(area, [&](const Look& look) {
    fewest = std::min(fewest, differing(look, frame));
    return fewest == 0;
  });
  return fewest;
}

// The second frame brings a colour table of its own and leaves pixels clear: the
// first frame's red must stay red, and the clear pixels show the box's colour,
// pixel for pixel as ImageMagick composes the frames over that colour. A new
// colour shows through at once, and playback goes on in the same thread.
TEST_F(PictureBoxAnimation, FramesKeepTheirOwnColoursAndClearPixelsShowTheBoxColour) {
  const RECT area = probe_.area(Unit::animation, 24, 24);
  const std::vector<COLORREF> first = reference_frame("layered-frame-0.bmp");
  const std::vector<COLORREF> second = reference_frame("layered-frame-1.bmp");
  ASSERT_EQ(first.size(), 24u * 24);
  ASSERT_EQ(second.size(), 24u * 24);
  const std::set<DWORD> still_threads = thread_ids(probe_.id());
  probe_.write(Unit::animation, kPictureBoxColour, int32_t(kTeal));
  probe_.write_picture(Unit::animation, kPictureBoxPicture, Fixture::layered_gif);
  probe_.write(Unit::animation, kPictureBoxAnimate, 1);
  EXPECT_EQ(closest_look(area, first), 0);
  EXPECT_EQ(closest_look(area, second), 0);
  const std::set<DWORD> player = new_threads(probe_.id(), still_threads, 1);
  ASSERT_EQ(player.size(), 1u);

  probe_.write(Unit::animation, kPictureBoxColour, int32_t(kMagenta));
  EXPECT_EQ(colours_seen(area, {18, 18}, 2s, {kMagenta}).count(kMagenta), 1u);
  EXPECT_TRUE(includes(colours_seen(area, {18, 4}, 3s, {kBlue, kMagenta}), {kBlue, kMagenta}));
  EXPECT_EQ(new_threads(probe_.id(), still_threads, 1), player);
}

// A loop count of 1 shows the frames once and repeats them once; then the last
// frame stays and the player is gone.
TEST_F(PictureBoxAnimation, ALoopCountEndsPlaybackOnTheLastFrame) {
  const RECT area = probe_.area(Unit::animation, 24, 24);
  const std::set<DWORD> still_threads = thread_ids(probe_.id());
  probe_.write_picture(Unit::animation, kPictureBoxPicture, Fixture::twice_gif);
  probe_.write(Unit::animation, kPictureBoxAnimate, 1);
  EXPECT_TRUE(includes(colours_seen(area, {12, 12}, 2s, {kRed, kLime}), {kRed, kLime}));
  EXPECT_TRUE(new_threads(probe_.id(), still_threads, 0).empty());
  EXPECT_EQ(colours_seen(area, {12, 12}, 700ms), std::set<COLORREF>{kLime});
}

TEST_F(PictureBoxAnimation, PlaysOnAnimateAndStopsItsThreadOnAnimateOffAPictureChangeAndTheWindowGoing) {
  const RECT area = probe_.area(Unit::animation);
  const POINT inside{12, 12};
  const std::set<DWORD> still_threads = thread_ids(probe_.id());
  // Animate off in the template: the first frame, and it stays.
  expect_spots(area, {{12, 12, kRed}});
  EXPECT_EQ(colours_seen(area, inside, 700ms), std::set<COLORREF>{kRed});

  probe_.write(Unit::animation, kPictureBoxAnimate, 1);
  expect_playing(area, inside, kRed);
  const std::set<DWORD> player = new_threads(probe_.id(), still_threads, 1);
  ASSERT_EQ(player.size(), 1u);

  probe_.write(Unit::animation, kPictureBoxAnimate, 0);
  EXPECT_TRUE(new_threads(probe_.id(), still_threads, 0).empty());
  const std::set<COLORREF> after_stop = colours_seen(area, inside, 700ms);
  ASSERT_EQ(after_stop.size(), 1u);

  probe_.write(Unit::animation, kPictureBoxAnimate, 1);
  expect_playing(area, inside, *after_stop.begin());
  EXPECT_EQ(new_threads(probe_.id(), still_threads, 1).size(), 1u);

  // A JPEG in its place: the player goes and the picture stays still.
  probe_.write_picture(Unit::animation, kPictureBoxPicture, Fixture::stripes_jpg);
  EXPECT_TRUE(new_threads(probe_.id(), still_threads, 0).empty());
  expect_spots(area, {{8, 8, kRed, kJpegTolerance}, {20, 8, kLime, kJpegTolerance}});
  EXPECT_EQ(colours_seen(area, {20, 8}, 700ms).size(), 1u);

  const COLORREF still_colour = Look(area).at(inside.x, inside.y);
  probe_.write_picture(Unit::animation, kPictureBoxPicture, Fixture::frames_gif);
  expect_playing(area, inside, still_colour);
  EXPECT_EQ(new_threads(probe_.id(), still_threads, 1).size(), 1u);

  // The window going takes the player with it, and the program carries on.
  probe_.destroy_window();
  EXPECT_TRUE(probe_.logged("window loop returned\n")) << probe_.log();
  EXPECT_TRUE(new_threads(probe_.id(), still_threads, 0).empty());
  EXPECT_EQ(probe_.process().wait_for_exit(0ms), std::nullopt);
  probe_.finish();
  EXPECT_EQ(probe_.process().wait_for_exit(20s), std::optional<DWORD>(0));
  EXPECT_EQ(probe_.log(), "window loop returned\nfinished\n");
}

}  // namespace
