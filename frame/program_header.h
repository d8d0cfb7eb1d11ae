#pragma once
// The program header is the contract between the installer's build and the frame:
// the frame reads it once while it initialises and learns from it where the window
// template and the constants area lie, which unit libraries exist, which external
// functions the installer declares, and which routine is the installer's entry.
//
//   version words        three words copied at start-up (the third stored plus one)
//   entry routine        the installer's own start routine, run by InitInstance
//   handler base         event bindings hold offsets from here
//   constants area       start and length: read-only texts and embedded blobs
//   window template      start and length of the template block
//   data checksum        CRC-32 of the constants area, then the template
//                        (frame/data_checksum.h), written by the build and
//                        checked before anything else is done with the data
//   unit libraries       count and table
//   external functions   count, library-name table, function-name table
#include <cstdint>

namespace frame {

struct UnitLibrary;

using EntryRoutine = int (*)();

struct ProgramHeader {
  uint32_t version_words[3];
  EntryRoutine entry_routine;
  const void* handler_base;
  const uint8_t* constants_start;
  uint32_t constants_length;
  const uint8_t* template_start;
  uint32_t template_length;
  uint32_t data_checksum;
  uint32_t library_count;
  const UnitLibrary* const* libraries;
  uint32_t external_count;
  const char* const* external_libraries;
  const char* const* external_functions;
};

// Defined by the program that links the frame.
extern const ProgramHeader program_header;

}  // namespace frame
