// The payload catalogue: the product's files the installer carries, with the
// lengths the product fixes, and the check that a payload folder holds exactly them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/tool_files.h"

namespace cassemble {

using Json = tools::Json;

struct CatalogueFile {
  std::string name;
  uint32_t length;
  std::string kind;  // "library", "archive" or "program"
};

std::vector<CatalogueFile> read_catalogue(const std::filesystem::path& path);

const CatalogueFile& catalogue_file(const std::vector<CatalogueFile>& catalogue, const std::string& name);

// The bytes of `file` from `folder`, refused when missing or of another length.
std::vector<uint8_t> read_payload_file(const std::filesystem::path& folder, const CatalogueFile& file);

// Refuses a folder that lacks a catalogue file or holds one of the wrong length.
void check_payload_folder(const std::filesystem::path& folder, const std::vector<CatalogueFile>& catalogue);

}  // namespace cassemble
