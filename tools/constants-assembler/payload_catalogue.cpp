#include "tools/constants-assembler/payload_catalogue.h"

namespace cassemble {

namespace {

CatalogueFile catalogue_entry(const Json& entry, const std::filesystem::path& path) {
  try {
    return {entry.at("name").get<std::string>(), entry.at("length").get<uint32_t>(),
            entry.at("kind").get<std::string>()};
  } catch (const Json::exception& e) {
    throw tools::InputError(path.string() + ": bad catalogue entry " + entry.dump() + ": " + e.what());
  }
}

}  // namespace

std::vector<CatalogueFile> read_catalogue(const std::filesystem::path& path) {
  const Json catalogue = tools::read_json_file(path);
  const Json* files = catalogue.contains("files") ? &catalogue["files"] : nullptr;
  if (!files || !files->is_array()) throw tools::InputError(path.string() + ": no \"files\" array");
  std::vector<CatalogueFile> result;
  for (const Json& entry : *files) result.push_back(catalogue_entry(entry, path));
  return result;
}

const CatalogueFile& catalogue_file(const std::vector<CatalogueFile>& catalogue, const std::string& name) {
  for (const CatalogueFile& file : catalogue) {
    if (file.name == name) return file;
  }
  throw tools::InputError("the payload catalogue has no file " + name);
}

std::vector<uint8_t> read_payload_file(const std::filesystem::path& folder, const CatalogueFile& file) {
  const std::filesystem::path path = folder / file.name;
  if (!std::filesystem::is_regular_file(path)) throw tools::InputError("payload file " + path.string() + " is missing");
  std::vector<uint8_t> bytes = tools::read_file(path);
  if (bytes.size() != file.length) {
    throw tools::InputError("payload file " + path.string() + " is " + std::to_string(bytes.size()) +
                            " bytes long; the catalogue says " + std::to_string(file.length));
  }
  return bytes;
}

void check_payload_folder(const std::filesystem::path& folder, const std::vector<CatalogueFile>& catalogue) {
  for (const CatalogueFile& file : catalogue) read_payload_file(folder, file);
}

}  // namespace cassemble
