#include "tools/constants-assembler/checksum_source.h"

#include <cstdio>

#include "frame/data_checksum.h"
#include "tools/constants-assembler/payload_catalogue.h"

namespace cassemble {

uint32_t checksum_of_files(const std::vector<std::filesystem::path>& files) {
  uint32_t checksum = frame::kEmptyDataChecksum;
  for (const std::filesystem::path& file : files) {
    checksum = frame::extend_data_checksum(checksum, tools::read_file(file));
  }
  return checksum;
}

std::string checksum_source(uint32_t checksum, const std::vector<std::string>& covered) {
  std::string names;
  for (const std::string& name : covered) names += (names.empty() ? "" : ", ") + name;
  char word[16];
  std::snprintf(word, sizeof word, "0x%08X", static_cast<unsigned>(checksum));
  return "/* Written by cassemble checksum: CRC-32 of " + (names.empty() ? std::string("no data") : names) +
         ". */\n"
         "  .section .rdata,\"dr\"\n"
         "  .balign 4\n"
         "  .globl _program_data_checksum\n"
         "_program_data_checksum:\n"
         "  .long " +
         word + "\n";
}

}  // namespace cassemble
