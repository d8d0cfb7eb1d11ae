#include "frame/exception_barrier.h"

#include <exception>
#include <new>

#include "frame/runtime_error.h"

namespace frame {

void report_escaped_exception() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    report_runtime_error("内存不足，程序无法继续运行", 0, 0, 0);
  } catch (...) {
    report_runtime_error("程序内部出现未处理的异常", 0, 0, 0);
  }
}

}  // namespace frame
