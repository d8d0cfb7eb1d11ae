// The data checksum a program's header carries (frame/data_checksum.h), computed
// over files laid end to end as the program embeds them, and the assembly source
// that defines it as the word program_data_checksum.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace cassemble {

uint32_t checksum_of_files(const std::vector<std::filesystem::path>& files);

// `covered` names the files in the comment of the source, for whoever reads it.
std::string checksum_source(uint32_t checksum, const std::vector<std::string>& covered);

}  // namespace cassemble
