#pragma once
// The installer's declared external functions, by their index in the program
// header's table (the wide forms: texts cross into Windows as UTF-16), and the
// identifiers of the routines that call them (a stack error names the routine and
// the line of the call).
#include <cstdint>

namespace app {

enum DeclaredFunction : uint32_t {
  kShellExecuteW,
  kCreateThread,
  kCoInitialize,
  kCoUninitialize,
  kPathFindExtensionW,
  kSHGetSpecialFolderPathW,
  kSHBrowseForFolderW,
  kSHGetPathFromIDListW,
  kDeclaredFunctionCount
};

enum RoutineId : uint32_t {
  kRunDocumentRoutine = 0x04010001,
  kFolderChoiceRoutine = 0x04010002,
  kStartInstallRoutine = 0x04010003,
};

// A pointer as the 32-bit word the calling sequence pushes.
inline uint32_t word_of(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

}  // namespace app
