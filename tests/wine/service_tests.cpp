// The text and utility services inside a running program on the frame, one scenario
// per process: what they return, the message boxes they show as read from outside,
// when the close-window service closes, and the run-time error it raises.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "canvas.h"
#include "desktop_driver.h"
#include "logged_run.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;
using driver::Probe;

constexpr DWORD kRuntimeErrorExitCode = 0xFFFFFFFF;
// The message box dialog's icon control (stc1).
constexpr int kMessageBoxIconId = 0x0440;
constexpr wchar_t kWindowMissing[] = L"指定窗口或窗口组件不存在或尚未载入";

constexpr char kProbe[] = "TRELLIMO_SERVICE_PROBE";

HWND owner_of(HWND hwnd) { return GetWindow(hwnd, GW_OWNER); }

// The message box's icon control, when it shows an icon.
bool shows_icon(HWND box) {
  HWND icon = GetDlgItem(box, kMessageBoxIconId);
  return icon != nullptr && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
}

std::vector<COLORREF> system_icon_pixels(LPCSTR icon, int width, int height, COLORREF background) {
  const support::Canvas canvas(width, height, background);
  DrawIconEx(canvas.dc(), 0, 0, LoadIconA(nullptr, icon), width, height, 0, nullptr, DI_NORMAL);
  return canvas.pixels();
}

bool uniform(const std::vector<COLORREF>& pixels) {
  return std::all_of(pixels.begin(), pixels.end(), [&](COLORREF pixel) { return pixel == pixels.front(); });
}

// The box's icon as the screen shows it equals a system icon that this process draws
// on the same background. The box may still be painting, so the screen is read again
// for a while.
bool shows_system_icon(HWND box, LPCSTR icon) {
  const RECT area = driver::window_rect(GetDlgItem(box, kMessageBoxIconId));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::vector<COLORREF> shown = driver::capture_screen(area);
    if (!uniform(shown) &&
        shown == system_icon_pixels(icon, area.right - area.left, area.bottom - area.top, shown.front()))
      return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

template <typename Condition>
bool becomes_true_within(std::chrono::milliseconds timeout, Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// Presses a button of the box with real input, again when a press was lost (a box
// just shown may not take input yet), and waits until the box is gone, so that the
// next box the probe shows is not mistaken for this one.
void answer(const driver::MessageBoxView& box, int button) {
  ASSERT_NE(GetDlgItem(box.hwnd, button), nullptr) << "the box has no button " << button;
  ASSERT_TRUE(driver::press_box_button(box, button)) << "the box stayed after its button was pressed";
}

driver::MessageBoxView next_box(Probe& probe) {
  auto box = driver::wait_for_message_box(probe.process().id(), 20s);
  EXPECT_TRUE(box.has_value()) << "no message box appeared";
  return box.value_or(driver::MessageBoxView{});
}

// Services whose every effect the probe logs; the program ends normally.
class LoggedService : public testing::TestWithParam<driver::LoggedRun> {};

TEST_P(LoggedService, EndsWithItsLog) { driver::expect_logged_run(kProbe, GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Services, LoggedService,
    testing::Values(driver::LoggedRun{"OrOfOneAndFortyHexGivesFortyOneHexAsAnInteger", "or", 0, "or 0x00000041 int\n"},
                    driver::LoggedRun{"TextServicesReturnHeapTextsTheCallerFreesAndTheNullTextWhenEmpty",
                                      "text-results", 0,
                                      "replace: [C:\\a b\\x.exe] in a heap block of 13 bytes\n"
                                      "replace first after start: [a-b+c-d] in a heap block of 8 bytes\n"
                                      "left part: [abc] in a heap block of 4 bytes\n"
                                      "left part of 0: null text\n"
                                      "blank: [   ] in a heap block of 4 bytes\n"
                                      "find last 5 int\n"},
                    driver::LoggedRun{"CloseWindowClosesOnlyAfterTheCallingRoutineReturnsAndTheProgramEndsWithZero",
                                      "close-later", 0,
                                      "after an unmarked close request: window open\n"
                                      "after the service returned: window open\n"
                                      "loop returned\n"},
                    driver::LoggedRun{"CloseWindowClosesAtOnceWhenAskedTo", "close-at-once", 0,
                                      "after the service returned: window gone\nloop returned\n"},
                    driver::LoggedRun{"ANegativeDelayReturnsAtOnceAndAPositiveOneWaits", "delays", 0,
                                      "delay -5 returned at once\ndelay 300 waited\n"}),
    driver::logged_run_name);

struct ModalityCase {
  const char* scenario;
  bool disables_the_window;
};

class WarningBoxModality : public testing::TestWithParam<ModalityCase> {};

// A task-modal box without an owner disables the other windows of its thread while
// it is up; a system-modal one does not.
TEST_P(WarningBoxModality, ShowsTheWarningCaptionedInformationOverTheWindow) {
  Probe probe(kProbe, GetParam().scenario);
  const auto box = next_box(probe);
  ASSERT_NE(box.hwnd, nullptr);
  EXPECT_EQ(box.caption, L"信息：");
  EXPECT_EQ(box.text, L"安装路径不能为空");
  EXPECT_TRUE(shows_system_icon(box.hwnd, IDI_WARNING));
  EXPECT_EQ(owner_of(box.hwnd), nullptr);
  HWND window = driver::wait_for_window(probe.process().id(), L"kowtan", 5s);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(IsWindowEnabled(window) == FALSE, GetParam().disables_the_window);

  answer(box, IDOK);
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(0));
  EXPECT_EQ(probe.log(), "answer 0\nwindow enabled after the box\n");
}

INSTANTIATE_TEST_SUITE_P(MessageBoxService, WarningBoxModality,
                         testing::Values(ModalityCase{"warning-box", true},
                                         ModalityCase{"system-modal-warning-box", false}));

TEST(MessageBoxService, AnswersTheButtonPressedCountedFromOk) {
  Probe probe(kProbe, "button-codes");
  for (int button : {IDCANCEL, IDNO, IDRETRY, IDYES}) {
    const auto box = next_box(probe);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_FALSE(shows_icon(box.hwnd));
    answer(box, button);
  }
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(0));
  EXPECT_EQ(probe.log(), "answer 1\nanswer 6\nanswer 3\nanswer 5\n");
}

TEST(MessageBoxService, ShowsEachBasicTypeOfMessageInItsOwnForm) {
  Probe probe(kProbe, "message-texts");
  const std::wstring expected[] = {
      L"200",  L"-2", L"-123456", L"-9876543210123",         L"0.1",  L"3", L"1e+21",
      L"-2.5", L"真", L"假",      L"2024年3月5日14时7分9秒", L"安装", L"",  L"",
  };
  for (const std::wstring& text : expected) {
    const auto box = next_box(probe);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"信息：");
    EXPECT_EQ(box.text, text);
    answer(box, IDOK);
  }
  const auto captioned = next_box(probe);
  ASSERT_NE(captioned.hwnd, nullptr);
  EXPECT_EQ(captioned.caption, L"安装向导");
  EXPECT_EQ(captioned.text, L"caption given");
  answer(captioned, IDOK);
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(0));
}

TEST(MessageBoxService, IsOwnedByAWindowOrHandleGivenAsFourthArgument) {
  Probe probe(kProbe, "owned-boxes");
  HWND window = driver::wait_for_window(probe.process().id(), L"kowtan", 20s);
  ASSERT_NE(window, nullptr);
  const std::pair<const wchar_t*, HWND> boxes[] = {{L"window", window}, {L"handle", window}, {L"none", nullptr}};
  for (const auto& [text, owner] : boxes) {
    const auto box = next_box(probe);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(owner_of(box.hwnd), owner);
    answer(box, IDOK);
  }
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(0));
}

// The box holds the program until it is answered; then the program ends with -1.
void expect_runtime_error_exit(Probe& probe, const driver::MessageBoxView& box) {
  EXPECT_EQ(probe.process().wait_for_exit(200ms), std::nullopt);
  answer(box, IDOK);
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(kRuntimeErrorExitCode));
}

TEST(CloseWindowService, AnUnknownWindowIsARuntimeErrorNamingItsId) {
  Probe probe(kProbe, "close-unknown-window");
  const auto box = next_box(probe);
  ASSERT_NE(box.hwnd, nullptr);
  EXPECT_EQ(box.caption, L"错误");
  EXPECT_EQ(box.text, driver::runtime_error_text(kWindowMissing, L"1375797401, 0\r\n未找到所指定的窗口"));
  expect_runtime_error_exit(probe, box);
}

TEST(CloseWindowService, AWindowNotYetLoadedIsARuntimeError) {
  Probe probe(kProbe, "close-unloaded-window");
  const auto box = next_box(probe);
  ASSERT_NE(box.hwnd, nullptr);
  EXPECT_EQ(box.caption, L"错误");
  // The lines after the numbers name the window as the template knows it.
  const std::wstring head = driver::runtime_error_text(kWindowMissing, L"1375797249, 0");
  EXPECT_EQ(box.text.substr(0, head.size()), head);
  expect_runtime_error_exit(probe, box);
}

}  // namespace
