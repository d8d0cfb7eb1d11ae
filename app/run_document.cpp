#include "app/run_document.h"

#include <cstdint>

#include "app/declared_functions.h"
#include "frame/external_call.h"

namespace app {

bool run_document(const char* file, const char* parameters, const char* verb, int show_mode) {
  const uint32_t result = frame::call_external(kShellExecuteA,
                                               {0, word_of(verb ? verb : "open"), word_of(file), word_of(parameters),
                                                word_of(""), static_cast<uint32_t>(show_mode)},
                                               kRunDocumentRoutine, __LINE__);
  return static_cast<int32_t>(result) > 32;
}

}  // namespace app
