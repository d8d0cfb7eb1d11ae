#include "app/installer_program_header.h"

#include <iterator>

#include "app/constants.h"
#include "app/declared_functions.h"
#include "app/embedded_data.h"
#include "payload/embedded_blobs.h"
#include "units/unit_libraries.h"

namespace app {
namespace {

const frame::UnitLibrary* const kLibraries[] = {&units::kSystemUnitLibrary, &units::kLabelUnitLibrary};

// The declared names live at the end of the constants area, like every other text.
const char* const kExternalLibraries[] = {
    constant_text(kLibraryShell32), constant_text(kLibraryKernel32), constant_text(kLibraryOle32),
    constant_text(kLibraryOle32),   constant_text(kLibraryShlwapi),  constant_text(kLibraryShell32),
    constant_text(kLibraryShell32), constant_text(kLibraryShell32),
};
const char* const kExternalFunctions[] = {
    constant_text(kFunctionShellExecuteW),      constant_text(kFunctionCreateThread),
    constant_text(kFunctionCoInitialize),       constant_text(kFunctionCoUninitialize),
    constant_text(kFunctionPathFindExtensionW), constant_text(kFunctionSHGetSpecialFolderPathW),
    constant_text(kFunctionSHBrowseForFolderW), constant_text(kFunctionSHGetPathFromIDListW),
};
static_assert(std::size(kExternalLibraries) == kDeclaredFunctionCount);
static_assert(std::size(kExternalFunctions) == kDeclaredFunctionCount);

}  // namespace

// The third version word is kept one above the version it stands for.
frame::ProgramHeader installer_program_header(frame::EntryRoutine entry) {
  return {
      {3, 0, 0x10139 + 1},
      entry,
      installer_handler_table,
      constants_begin,
      static_cast<uint32_t>(constants_end - constants_begin),
      window_template_begin,
      static_cast<uint32_t>(window_template_end - window_template_begin),
      program_data_checksum,
      static_cast<uint32_t>(std::size(kLibraries)),
      kLibraries,
      static_cast<uint32_t>(std::size(kExternalLibraries)),
      kExternalLibraries,
      kExternalFunctions,
  };
}

}  // namespace app
