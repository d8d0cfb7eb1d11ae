#include "frame/program_header.h"

#include <iterator>

#include "app/embedded_data.h"
#include "app/installer_entry.h"
#include "units/unit_libraries.h"

namespace {

const frame::UnitLibrary* const kLibraries[] = {&units::kSystemUnitLibrary, &units::kLabelUnitLibrary};

const char* const kExternalLibraries[] = {
    "shell32.dll", "kernel32.dll", "ole32.dll", "ole32.dll", "shlwapi.dll", "shell32.dll", "shell32.dll", "shell32.dll",
};
const char* const kExternalFunctions[] = {
    "ShellExecuteA",           "CreateThread",      "CoInitialize",        "CoUninitialize", "PathFindExtensionA",
    "SHGetSpecialFolderPathA", "SHBrowseForFolder", "SHGetPathFromIDList",
};
static_assert(std::size(kExternalLibraries) == std::size(kExternalFunctions));

}  // namespace

namespace frame {

// The third version word is kept one above the version it stands for.
const ProgramHeader program_header = {
    {3, 0, 0x10139 + 1},
    app::installer_entry,
    nullptr,
    nullptr,
    0,
    window_template_begin,
    static_cast<uint32_t>(window_template_end - window_template_begin),
    static_cast<uint32_t>(std::size(kLibraries)),
    kLibraries,
    static_cast<uint32_t>(std::size(kExternalLibraries)),
    kExternalLibraries,
    kExternalFunctions,
};

}  // namespace frame
