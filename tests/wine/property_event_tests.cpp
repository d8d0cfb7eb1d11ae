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

constexpr char kCreated[] = "window created, source 0x52010001 0x06010000\n";

using driver::LoggedRun;

class Scenario : public testing::TestWithParam<LoggedRun> {};

TEST_P(Scenario, EndsWithItsLog) { driver::expect_logged_run("TRELLIMO_PROPERTY_PROBE", GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    PropertiesAndEvents, Scenario,
    testing::Values(
        // Common properties: clamping, the live value, tag and visibility.
        LoggedRun{"WritesAreClampedAndReadBackFromTheLiveUnit", "geometry", 0,
                  std::string(kCreated) + "width 40000 reads 32627\n"
                                          "width -5 reads 0\n"
                                          "left -40000 reads -32627\n"
                                          "tag reads 标记\n"
                                          "hidden unit reads visible 0\n"
                                          "after showing it reads 1\n"
                                          "disabled reads 1\n"},
        LoggedRun{"LabelCaptionAndFontAttributesGoThroughTheKind", "label-properties", 0,
                  kCreated + std::string("caption reads ") + gbk(L"第一行") + "\ncaption after write reads 短\n" +
                      "font face reads " + gbk(L"微软雅黑") + "\nfont bold reads 1\n" + "empty face becomes " +
                      gbk(L"宋体") + "\nsize 18 reads 18\n"},
        LoggedRun{"WindowTitleReachesTheNativeWindowAndChoicesAreClamped", "window-properties", 0,
                  std::string(kCreated) + "title reads probe\n"
                                          "window text is new title\n"
                                          "border 9 reads 6\n"
                                          "picture mode -1 reads 0\n"
                                          "start position of a minimized window reads 2\n"},
        LoggedRun{"WritesFromAWorkerThreadLandWhileTheWindowPaints", "worker-writes", 0,
                  std::string(kCreated) + "worker final caption 完成 width 199\nclose asked 1\nclose\nloop returned\n"},
        LoggedRun{"EventsRunOnlyWhenBoundAndNotSuppressedWithLinksArgumentsAndCloseRefusal", "events", 0,
                  std::string(kCreated) + "nothing delivered while loading\n"
                                          "button clicked, source 0x52010001 0x16010004\n"
                                          "button clicked, source 0x52010001 0x16010005\n"
                                          "unbound event reached no routine\n"
                                          "event 7 with 0x1122334455667788\n"
                                          "one-word event result 42\n"
                                          "event 7 with 0x1122334455667788\n"
                                          "close asked 1\n"
                                          "first close refused\n"
                                          "close asked 2\n"
                                          "close\n"
                                          "loop returned\n"
                                          "event at exit reached no routine\n"},
        LoggedRun{"ByteArgumentsAreZeroExtendedAndShortsSignExtended", "small-typed-arguments", 0,
                  std::string(kCreated) + "event 7 with 0xFFFFFF8000000080\n"},
        LoggedRun{"CreationHandlerClosingItsOwnWindowEndsTheProgramNormally", "destroyed-by-creation-handler", 0,
                  std::string(kCreated) + "window gone after loading\nloop returned\n"}),
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
