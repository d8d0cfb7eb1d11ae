// cassemble: the installer's constants area.
//   cassemble assemble LIST PAYLOAD_DIR AREA.bin OFFSETS.h
//                      the constants area and the offsets of its constants
//   cassemble check LIST PAYLOAD_DIR
//                      refuses a payload folder that does not match the catalogue
//   cassemble stand-in CATALOGUE NAME OUT [IMAGE]
//                      a stand-in for catalogue file NAME; programs and libraries
//                      are IMAGE padded, the archive is generated
//   cassemble checksum OUT.S [FILE...]
//                      the program header's data checksum over the FILEs laid
//                      end to end (constants area, then window template)
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/constants-assembler/checksum_source.h"
#include "tools/constants-assembler/constants_area.h"
#include "tools/constants-assembler/stand_in.h"

namespace {

namespace fs = std::filesystem;

int usage() {
  std::cerr << "usage: cassemble assemble LIST PAYLOAD_DIR AREA.bin OFFSETS.h\n"
               "       cassemble check LIST PAYLOAD_DIR\n"
               "       cassemble stand-in CATALOGUE NAME OUT [IMAGE]\n"
               "       cassemble checksum OUT.S [FILE...]\n";
  return 2;
}

// Leaves an unchanged header alone, so that a new payload file recompiles nothing.
void write_text_if_changed(const fs::path& path, const std::string& text) {
  if (fs::exists(path) && fs::file_size(path) == text.size()) {
    const auto old = tools::read_file(path);
    if (std::equal(old.begin(), old.end(), text.begin(), text.end())) return;
  }
  tools::write_file(path, text);
}

void assemble(const fs::path& list_path, const fs::path& payload_folder, const fs::path& area_path,
              const fs::path& header_path) {
  const auto area =
      cassemble::assemble_constants(tools::read_json_file(list_path), list_path.parent_path(), payload_folder);
  tools::write_file(area_path, area.bytes);
  write_text_if_changed(header_path, cassemble::offsets_header(area, list_path.filename().string()));
}

void check(const fs::path& list_path, const fs::path& payload_folder) {
  const auto list = tools::read_json_file(list_path);
  cassemble::check_payload_folder(payload_folder, cassemble::list_catalogue(list, list_path.parent_path()));
}

void stand_in(const fs::path& catalogue_path, const std::string& name, const fs::path& out_path,
              const std::vector<std::string>& image) {
  const auto catalogue = cassemble::read_catalogue(catalogue_path);
  const cassemble::CatalogueFile& file = cassemble::catalogue_file(catalogue, name);
  if ((file.kind == "archive") != image.empty()) {
    throw tools::InputError(name + " is a " + file.kind +
                            (image.empty() ? ": its stand-in needs an image" : ": it takes no image"));
  }
  const auto bytes = image.empty() ? cassemble::archive_stand_in(file)
                                   : cassemble::padded_stand_in(file, tools::read_file(image.front()));
  tools::write_file(out_path, bytes);
}

void checksum(const fs::path& source_path, const std::vector<std::string>& files) {
  std::vector<std::string> names;
  for (const std::string& file : files) names.push_back(fs::path(file).filename().string());
  const uint32_t sum = cassemble::checksum_of_files(std::vector<fs::path>(files.begin(), files.end()));
  write_text_if_changed(source_path, cassemble::checksum_source(sum, names));
}

int run(const std::vector<std::string>& args) {
  if (args.size() == 5 && args[0] == "assemble") {
    assemble(args[1], args[2], args[3], args[4]);
  } else if (args.size() == 3 && args[0] == "check") {
    check(args[1], args[2]);
  } else if ((args.size() == 4 || args.size() == 5) && args[0] == "stand-in") {
    stand_in(args[1], args[2], args[3], std::vector<std::string>(args.begin() + 4, args.end()));
  } else if (args.size() >= 2 && args[0] == "checksum") {
    checksum(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  } else {
    return usage();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::runtime_error& e) {  // a refusal or a file that cannot be read or written
    std::cerr << "cassemble: " << e.what() << "\n";
    return 1;
  }
}
