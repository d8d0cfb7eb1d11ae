// Lays the installer's constants down in one block, in the order of the constants
// list, and names the offset of each for the installer's code.
//
// The list (app/constants.json):
//   {"catalogue": "../payload/catalogue.json",
//    "groups": [{"by": "install step 1", "constants": [
//      {"name": "kStatusSevenZip", "text": "正在抽取文件: 7-zip32.dll "},   UTF-8 here, GBK in the block
//      {"name": "kBlobSevenZip", "payload": "7-zip32.dll"},               a catalogue file
//      {"name": "kToggleTickedPicture", "file": "../assets/..."}]}]}      any file, beside the list
// Groups only say which routine refers to their constants first; an empty group
// keeps a place.
//
// The block: texts zero-terminated; blobs as byte arrays (frame/byte_array.h); back
// to back, no alignment (payload/embedded_blobs.h reads them).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/constants-assembler/payload_catalogue.h"

namespace cassemble {

enum class ConstantKind { text, blob };

struct PlacedConstant {
  std::string name;
  std::string group;
  ConstantKind kind;
  uint32_t offset;
  uint32_t length;  // text bytes without the terminator, or blob content bytes
};

struct ConstantsArea {
  std::vector<uint8_t> bytes;
  std::vector<PlacedConstant> constants;
};

// `list_folder` resolves the list's relative paths; payload blobs come from
// `payload_folder` and must match the catalogue, every catalogue file exactly once.
ConstantsArea assemble_constants(const Json& list, const std::filesystem::path& list_folder,
                                 const std::filesystem::path& payload_folder);

// The catalogue the list names, resolved against the list's folder.
std::vector<CatalogueFile> list_catalogue(const Json& list, const std::filesystem::path& list_folder);

// C++ header with one constexpr offset per constant and kConstantsLength.
std::string offsets_header(const ConstantsArea& area, const std::string& list_name);

}  // namespace cassemble
