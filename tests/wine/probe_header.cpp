// Kept apart from probe_support.cpp: only probes that embed a template link it.
#include "probe_header.h"

#include <iterator>

#include "units/unit_libraries.h"

extern "C" const uint8_t window_template_begin[];
extern "C" const uint8_t window_template_end[];
extern "C" const uint32_t program_data_checksum;

namespace probe {
namespace {

const frame::UnitLibrary* const kLibraries[] = {&units::kSystemUnitLibrary, &units::kLabelUnitLibrary};

}  // namespace

frame::ProgramHeader header_with_template(frame::EntryRoutine entry, const void* handler_base) {
  return header_with_template(entry, handler_base, kLibraries);
}

frame::ProgramHeader header_with_template(frame::EntryRoutine entry, const void* handler_base,
                                          std::span<const frame::UnitLibrary* const> libraries) {
  return {
      {3, 0, 0x1013A},
      entry,
      handler_base,
      nullptr,
      0,
      window_template_begin,
      static_cast<uint32_t>(window_template_end - window_template_begin),
      program_data_checksum,
      static_cast<uint32_t>(libraries.size()),
      libraries.data(),
      0,
      nullptr,
      nullptr,
  };
}

}  // namespace probe
