// The text of the run-time error box, line by line.
#include "frame/runtime_error_text.h"

#include <gtest/gtest.h>

#include "frame/template_format.h"

namespace frame {
namespace {

WindowTemplate one_window_with_one_unit() {
  WindowSection window;
  window.id = 0x52010001;
  UnitRecord own;
  own.id = 0x06010000;
  own.name = "主窗口";
  UnitRecord button;
  button.id = 0x16010004;
  button.name = "button_quickinster";
  window.records = {own, button};
  WindowTemplate windows;
  windows.windows.push_back(window);
  return windows;
}

TEST(RuntimeErrorText, NumberedErrorShowsCodeMessageAndRoutineLocation) {
  // A stack mismatch in routine 0x0401007D at offset 80.
  EXPECT_EQ(compose_runtime_error_text(runtime_error_message(6), 6, 0x0401007D, 80, nullptr),
            "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n\r\n67174525, 80\r\n");
}

TEST(RuntimeErrorText, CodeZeroLeavesOutTheCodeLine) {
  EXPECT_EQ(compose_runtime_error_text("分配 100 字节内存失败!", 0, 0, 0, nullptr),
            "运行时出错!\r\n\r\n错误信息：分配 100 字节内存失败!\r\n\r\n0, 0\r\n");
}

TEST(RuntimeErrorText, EmptyMessageLeavesOutTheMessageLine) {
  EXPECT_EQ(compose_runtime_error_text("", 3, -1, 2, nullptr), "运行时出错!\r\n\r\n错误代码：3\r\n\r\n-1, 2\r\n");
}

// A location inside a window: the two numbers are a window id and a unit id, and
// the lines after them name what the template calls them.
struct WindowLocation {
  const char* name;  // the test's name
  const char* message;
  uint32_t window;
  uint32_t unit;
  const char* text;
};

std::string window_location_name(const testing::TestParamInfo<WindowLocation>& location) { return location.param.name; }

class RuntimeErrorWindowText : public testing::TestWithParam<WindowLocation> {};

TEST_P(RuntimeErrorWindowText, NamesWhatTheTemplateKnows) {
  const WindowTemplate windows = one_window_with_one_unit();
  EXPECT_EQ(compose_runtime_error_text(GetParam().message, 0, GetParam().window, GetParam().unit, &windows),
            GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    RuntimeErrorText, RuntimeErrorWindowText,
    testing::Values(WindowLocation{"WindowLocationNamesTheWindowAndTheUnit", "x", 0x52010001, 0x16010004,
                                   "运行时出错!\r\n\r\n错误信息：x\r\n\r\n1375797249, 369164292\r\n\"主窗口\"\r\n"
                                   "\"button_quickinster\"\r\n"},
                    WindowLocation{"UnitZeroNamesTheWindowsOwnRecord", "", 0x52010001, 0,
                                   "运行时出错!\r\n\r\n1375797249, 0\r\n\"主窗口\"\r\n\"主窗口\"\r\n"},
                    WindowLocation{
                        "MissingUnitOnAKnownWindowIsSaid", "", 0x52010001, 0x16019999,
                        "运行时出错!\r\n\r\n1375797249, 369203609\r\n\"主窗口\"\r\n未找到所指定的窗口组件\r\n"},
                    WindowLocation{"UnknownWindowIsSaid", "", 0x52010002, 5,
                                   "运行时出错!\r\n\r\n1375797250, 5\r\n未找到所指定的窗口\r\n"},
                    WindowLocation{"FirstNumberThatIsNoWindowIdGetsNoNames", "", 0x16010004, 0,
                                   "运行时出错!\r\n\r\n369164292, 0\r\n"}),
    window_location_name);

TEST(RuntimeErrorMessages, TableRunsFromOneToEleven) {
  EXPECT_EQ(runtime_error_message(0), nullptr);
  EXPECT_STREQ(runtime_error_message(1), "数组成员引用下标超出定义范围");
  EXPECT_STREQ(runtime_error_message(11), "所提供参数的数据类型不符合要求");
  EXPECT_EQ(runtime_error_message(12), nullptr);
}

}  // namespace
}  // namespace frame
