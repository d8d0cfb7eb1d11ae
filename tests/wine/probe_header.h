#pragma once
// Program headers of probe programs: one that embeds a window template and uses the
// installer's unit libraries, and one with neither, that may declare external
// functions instead.
#include <cstdint>
#include <span>

#include "frame/data_checksum.h"
#include "frame/program_header.h"

namespace probe {

frame::ProgramHeader header_with_template(frame::EntryRoutine entry, const void* handler_base = nullptr);
// The same with unit libraries of the caller's: the installer's two first, then its own.
frame::ProgramHeader header_with_template(frame::EntryRoutine entry, const void* handler_base,
                                          std::span<const frame::UnitLibrary* const> libraries);

constexpr frame::ProgramHeader header_without_template(frame::EntryRoutine entry, uint32_t external_count = 0,
                                                       const char* const* external_libraries = nullptr,
                                                       const char* const* external_functions = nullptr) {
  return {.version_words = {3, 0, 0x1013A},
          .entry_routine = entry,
          .handler_base = nullptr,
          .constants_start = nullptr,
          .constants_length = 0,
          .template_start = nullptr,
          .template_length = 0,
          .data_checksum = frame::kEmptyDataChecksum,
          .library_count = 0,
          .libraries = nullptr,
          .external_count = external_count,
          .external_libraries = external_libraries,
          .external_functions = external_functions};
}

}  // namespace probe
