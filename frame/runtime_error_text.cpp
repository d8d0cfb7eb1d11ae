#include "frame/runtime_error_text.h"

#include <algorithm>
#include <array>

#include "frame/template_format.h"
#include "frame/unit_id.h"

namespace frame {
namespace {

constexpr std::array<const char*, 11> kMessages = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

const WindowSection* find_section(const WindowTemplate& windows, uint32_t id) {
  auto it =
      std::find_if(windows.windows.begin(), windows.windows.end(), [id](const WindowSection& w) { return w.id == id; });
  return it == windows.windows.end() ? nullptr : &*it;
}

const UnitRecord* find_record(const WindowSection& window, uint32_t unit_id) {
  if (window.records.empty()) return nullptr;
  if (unit_id == 0) return &window.records.front();
  auto it = std::find_if(window.records.begin(), window.records.end(),
                         [unit_id](const UnitRecord& r) { return r.id == unit_id; });
  return it == window.records.end() ? nullptr : &*it;
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string location_names(uint32_t window_id, uint32_t unit_id, const WindowTemplate* windows) {
  const WindowSection* window = windows ? find_section(*windows, window_id) : nullptr;
  if (window == nullptr || window->records.empty()) return "\r\n未找到所指定的窗口";
  std::string names = "\r\n" + quoted(window->records.front().name);
  const UnitRecord* unit = find_record(*window, unit_id);
  names += unit ? "\r\n" + quoted(unit->name) : std::string("\r\n未找到所指定的窗口组件");
  return names;
}

}  // namespace

const char* runtime_error_message(int index) {
  if (index < 1 || index > static_cast<int>(kMessages.size())) return nullptr;
  return kMessages[static_cast<size_t>(index - 1)];
}

std::string compose_runtime_error_text(std::string_view message, int code, int32_t a, int32_t b,
                                       const WindowTemplate* windows) {
  std::string text = "运行时出错!\r\n";
  if (code != 0) text += "\r\n错误代码：" + std::to_string(code) + "\r\n";
  if (!message.empty()) text += "\r\n错误信息：" + std::string(message) + "\r\n";
  text += "\r\n" + std::to_string(a) + ", " + std::to_string(b);
  const auto window_id = static_cast<uint32_t>(a);
  if (a != 0 && is_window_id(window_id)) {
    text += location_names(window_id, static_cast<uint32_t>(b), windows);
  }
  text += "\r\n";
  return text;
}

}  // namespace frame
