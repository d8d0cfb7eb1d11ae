#include "app/run_document.h"

#include <cstdint>
#include <string>

#include "app/declared_functions.h"
#include "frame/external_call.h"
#include "frame/gbk_wide.h"

namespace app {

bool run_document(const char* file, const char* parameters, const char* verb, int show_mode) {
  const std::wstring wide_verb = frame::wide_from_gbk(verb ? verb : "open");
  const std::wstring wide_file = frame::wide_from_gbk(file);
  const std::wstring wide_parameters = frame::wide_from_gbk(parameters ? parameters : "");
  const uint32_t result = frame::call_external(
      kShellExecuteW,
      {0, word_of(wide_verb.c_str()), word_of(wide_file.c_str()), parameters ? word_of(wide_parameters.c_str()) : 0,
       word_of(L""), static_cast<uint32_t>(show_mode)},
      kRunDocumentRoutine, __LINE__);
  return static_cast<int32_t>(result) > 32;
}

}  // namespace app
