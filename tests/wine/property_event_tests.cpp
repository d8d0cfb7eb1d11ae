// Unit properties and events, observed from outside a probe program on the frame:
// what a read gives back after a write, which routine an event reaches, and the
// run-time error box for each misuse.
#include <gtest/gtest.h>

#include "logged_run.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;

constexpr DWORD kRuntimeErrorExitCode = 0xFFFFFFFF;

using driver::gbk;

using driver::LoggedRun;

// A run that ends normally, logging these lines once its window is created.
LoggedRun after_creation(const char* name, const char* scenario, std::initializer_list<std::string> lines) {
  return {name, scenario, 0, "window created, source 0x52010001 0x06010000\n" + driver::log_lines(lines)};
}

class Scenario : public testing::TestWithParam<LoggedRun> {};

TEST_P(Scenario, EndsWithItsLog) { driver::expect_logged_run("TRELLIMO_PROPERTY_PROBE", GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    PropertiesAndEvents, Scenario,
    testing::Values(
        // Common properties: clamping, the live value, tag and visibility.
        after_creation("WritesAreClampedAndReadBackFromTheLiveUnit", "geometry",
                       {"width 40000 reads 32627", "width -5 reads 0", "left -40000 reads -32627", "tag reads 标记",
                        "hidden unit reads visible 0", "after showing it reads 1", "disabled reads 1"}),
        after_creation("LabelCaptionAndFontAttributesGoThroughTheKind", "label-properties",
                       {"caption reads " + gbk(L"第一行"), "caption after write reads 短",
                        "font face reads " + gbk(L"微软雅黑"), "font bold reads 1",
                        "empty face becomes " + gbk(L"宋体"), "size 18 reads 18"}),
        after_creation("WindowTitleReachesTheNativeWindowAndChoicesAreClamped", "window-properties",
                       {"title reads probe", "window text is new title", "border 9 reads 6", "picture mode -1 reads 0",
                        "start position of a minimized window reads 2"}),
        after_creation("WritesFromAWorkerThreadLandWhileTheWindowPaints", "worker-writes",
                       {"worker final caption 完成 width 199", "close asked 1", "close", "loop returned"}),
        after_creation("EventsRunOnlyWhenBoundAndNotSuppressedWithLinksArgumentsAndCloseRefusal", "events",
                       {"nothing delivered while loading", "button clicked, source 0x52010001 0x16010004",
                        "button clicked, source 0x52010001 0x16010005", "unbound event reached no routine",
                        "event 7 with 0x1122334455667788", "one-word event result 42",
                        "event 7 with 0x1122334455667788", "close asked 1", "first close refused", "close asked 2",
                        "close", "loop returned", "event at exit reached no routine"}),
        after_creation("ByteArgumentsAreZeroExtendedAndShortsSignExtended", "small-typed-arguments",
                       {"event 7 with 0xFFFFFF8000000080"}),
        after_creation("CreationHandlerClosingItsOwnWindowEndsTheProgramNormally", "destroyed-by-creation-handler",
                       {"window gone after loading", "loop returned"})),
    driver::logged_run_name);

struct Misuse {
  const char* scenario;
  const wchar_t* message;
  const wchar_t* detail;
};

class FrameMisuse : public testing::TestWithParam<Misuse> {};

TEST_P(FrameMisuse, EndsInTheRuntimeErrorBoxAndExitCodeMinusOne) {
  driver::Probe probe("TRELLIMO_PROPERTY_PROBE", GetParam().scenario);
  auto box = driver::wait_for_message_box(probe.process().id(), 20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"错误");
  EXPECT_EQ(box->text, driver::runtime_error_text(GetParam().message, GetParam().detail));
  ASSERT_TRUE(driver::press_box_button(*box, IDOK));
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(kRuntimeErrorExitCode));
}

INSTANTIATE_TEST_SUITE_P(
    PropertiesAndConversions, FrameMisuse,
    testing::Values(Misuse{"read-kind-property-before-load", L"读取组件属性时发现指定窗口尚未载入",
                           L"1375797249, 369164290\r\n\"探针窗口\"\r\n\"标签\""},
                    Misuse{"write-kind-property-before-load", L"修改组件属性时发现指定窗口尚未载入",
                           L"1375797249, 369164290\r\n\"探针窗口\"\r\n\"标签\""},
                    Misuse{"read-unknown-window", L"未载入欲访问窗口组件所在的窗口",
                           L"1375797257, 369164290\r\n未找到所指定的窗口"},
                    Misuse{"read-unknown-unit", L"指定窗口或窗口组件不存在或尚未载入",
                           L"1375797249, 369164407\r\n\"探针窗口\"\r\n未找到所指定的窗口组件"},
                    Misuse{"read-negative-property", L"组件不具有所指定的属性",
                           L"1375797249, 369164290\r\n\"探针窗口\"\r\n\"标签\""},
                    Misuse{"write-negative-property", L"组件不具有所指定的属性",
                           L"1375797249, 369164290\r\n\"探针窗口\"\r\n\"标签\""},
                    Misuse{"convert-text-to-integer", L"欲转换数据类型不是数值", L"0, 0"},
                    Misuse{"write-out-of-memory-in-handler", L"内存不足，程序无法继续运行", L"0, 0"}));

// A font attribute index beyond the seven is an index out of range, not a face-name
// pointer to read through.
TEST(FontIndex, OutsideTheSevenAttributesEndsInRuntimeErrorOne) {
  driver::Probe probe("TRELLIMO_PROPERTY_PROBE", "write-font-attribute-seven");
  auto box = driver::wait_for_message_box(probe.process().id(), 20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text,
            L"运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n\r\n"
            L"1375797249, 369164290\r\n\"探针窗口\"\r\n\"标签\"\r\n");
  ASSERT_TRUE(driver::press_box_button(*box, IDOK));
  EXPECT_EQ(probe.process().wait_for_exit(30s), std::optional<DWORD>(kRuntimeErrorExitCode));
}

}  // namespace
