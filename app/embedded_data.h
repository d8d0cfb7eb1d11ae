#pragma once
// Data the build places into the executable's read-only section, read in place.
#include <cstdint>

extern "C" const uint8_t window_template_begin[];
extern "C" const uint8_t window_template_end[];

// The handler table generated from the layout; bindings hold offsets from its start.
extern "C" const uint8_t installer_handler_table[];

// CRC-32 of the constants area and the window template as the build embedded them
// (frame/data_checksum.h), written beside the template by cassemble checksum.
extern "C" const uint32_t program_data_checksum;
