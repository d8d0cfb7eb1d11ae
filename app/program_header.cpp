#include "frame/program_header.h"

#include <iterator>

#include "app/constants.h"
#include "app/embedded_data.h"
#include "app/installer_entry.h"
#include "units/unit_libraries.h"

namespace {

const frame::UnitLibrary* const kLibraries[] = {&units::kSystemUnitLibrary, &units::kLabelUnitLibrary};

// The declared names live at the end of the constants area, like every other text.
const char* const kExternalLibraries[] = {
    app::constant_text(app::kLibraryShell32), app::constant_text(app::kLibraryKernel32),
    app::constant_text(app::kLibraryOle32),   app::constant_text(app::kLibraryOle32),
    app::constant_text(app::kLibraryShlwapi), app::constant_text(app::kLibraryShell32),
    app::constant_text(app::kLibraryShell32), app::constant_text(app::kLibraryShell32),
};
const char* const kExternalFunctions[] = {
    app::constant_text(app::kFunctionShellExecuteA),      app::constant_text(app::kFunctionCreateThread),
    app::constant_text(app::kFunctionCoInitialize),       app::constant_text(app::kFunctionCoUninitialize),
    app::constant_text(app::kFunctionPathFindExtensionA), app::constant_text(app::kFunctionSHGetSpecialFolderPathA),
    app::constant_text(app::kFunctionSHBrowseForFolder),  app::constant_text(app::kFunctionSHGetPathFromIDList),
};
static_assert(std::size(kExternalLibraries) == std::size(kExternalFunctions));

}  // namespace

namespace frame {

// The third version word is kept one above the version it stands for.
const ProgramHeader program_header = {
    {3, 0, 0x10139 + 1},
    app::installer_entry,
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

}  // namespace frame
