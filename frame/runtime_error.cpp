#include "frame/runtime_error.h"

#include <windows.h>

#include "frame/application.h"
#include "frame/gbk_wide.h"
#include "frame/runtime_error_text.h"

namespace frame {

void report_runtime_error(const char* message, int code, int32_t a, int32_t b) {
  Application& app = Application::instance();
  app.begin_error_report();
  const std::string text = compose_runtime_error_text(message ? message : "", code, a, b, app.window_template());
  MessageBoxW(nullptr, wide_from_gbk(text).c_str(), wide_from_gbk("错误").c_str(), MB_ICONHAND);
  app.end_program(-1);
}

void raise_runtime_error(int index, int32_t a, int32_t b) {
  report_runtime_error(runtime_error_message(index), index, a, b);
}

}  // namespace frame
