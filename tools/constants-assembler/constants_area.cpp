#include "tools/constants-assembler/constants_area.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "frame/byte_array.h"
#include "tools/template-compiler/gbk_text.h"

namespace cassemble {

namespace {

// Everything an entry needs to be placed, with where it came from for messages.
struct Entry {
  const Json& json;
  std::string group;
  std::string name;
};

[[noreturn]] void refuse(const Entry& entry, const std::string& problem) {
  throw tools::InputError("constant " + entry.name + " (in \"" + entry.group + "\"): " + problem);
}

bool is_identifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

uint32_t area_offset(const frame::ByteWriter& area) {
  if (area.size() > UINT32_MAX) throw tools::InputError("the constants area outgrows 32-bit offsets");
  return static_cast<uint32_t>(area.size());
}

PlacedConstant place_text(const Entry& entry, frame::ByteWriter& area) {
  const auto gbk = tplc::utf8_to_gbk(entry.json["text"].get<std::string>());
  if (!gbk) refuse(entry, "text has a character GBK cannot represent");
  if (gbk->find('\0') != std::string::npos) refuse(entry, "text holds a zero byte");
  const uint32_t offset = area_offset(area);
  area.zero_terminated_text(*gbk);
  return {entry.name, entry.group, ConstantKind::text, offset, static_cast<uint32_t>(gbk->size())};
}

PlacedConstant place_blob(const Entry& entry, const std::vector<uint8_t>& content, frame::ByteWriter& area) {
  const uint32_t offset = area_offset(area);
  frame::write_byte_array(area, content);
  return {entry.name, entry.group, ConstantKind::blob, offset, static_cast<uint32_t>(content.size())};
}

// The state of one assembly run: where files come from and what is placed so far.
class Assembler {
 public:
  Assembler(std::vector<CatalogueFile> catalogue, std::filesystem::path list_folder,
            std::filesystem::path payload_folder)
      : catalogue_(std::move(catalogue)),
        list_folder_(std::move(list_folder)),
        payload_folder_(std::move(payload_folder)) {}

  void place(const Entry& entry) {
    if (!is_identifier(entry.name)) refuse(entry, "the name is not a C++ identifier");
    if (!names_.insert(entry.name).second) refuse(entry, "the name is used twice");
    area_.constants.push_back(place_one(entry));
  }

  ConstantsArea finish() {
    for (const CatalogueFile& file : catalogue_) {
      if (!payloads_.contains(file.name))
        throw tools::InputError("the constants list never places payload file " + file.name);
    }
    area_.bytes = writer_.take();
    return std::move(area_);
  }

 private:
  PlacedConstant place_one(const Entry& entry) {
    const Json& json = entry.json;
    const int sources = int(json.contains("text")) + int(json.contains("payload")) + int(json.contains("file"));
    if (sources != 1) refuse(entry, "needs exactly one of \"text\", \"payload\" and \"file\"");
    if (json.contains("text")) return place_text(entry, writer_);
    if (json.contains("file"))
      return place_blob(entry, tools::read_file(list_folder_ / json["file"].get<std::string>()), writer_);
    const std::string file_name = json["payload"].get<std::string>();
    if (!payloads_.insert(file_name).second) refuse(entry, "payload file " + file_name + " is placed twice");
    return place_blob(entry, read_payload_file(payload_folder_, catalogue_file(catalogue_, file_name)), writer_);
  }

  std::vector<CatalogueFile> catalogue_;
  std::filesystem::path list_folder_;
  std::filesystem::path payload_folder_;
  std::set<std::string> names_;
  std::set<std::string> payloads_;
  frame::ByteWriter writer_;
  ConstantsArea area_;  // its bytes come from writer_ at the end
};

const Json& array_member(const Json& object, const char* key, const std::string& where) {
  if (!object.is_object() || !object.contains(key) || !object[key].is_array()) {
    throw tools::InputError(where + ": no \"" + key + "\" array");
  }
  return object[key];
}

std::string group_title(const Json& group) {
  if (!group.contains("by") || !group["by"].is_string()) throw tools::InputError("a constants group without \"by\"");
  return group["by"].get<std::string>();
}

std::string entry_name(const Json& constant, const std::string& group) {
  if (!constant.is_object() || !constant.contains("name") || !constant["name"].is_string()) {
    throw tools::InputError("a constant without a name in \"" + group + "\"");
  }
  return constant["name"].get<std::string>();
}

const char* kind_word(ConstantKind kind) { return kind == ConstantKind::text ? "text" : "blob"; }

}  // namespace

std::vector<CatalogueFile> list_catalogue(const Json& list, const std::filesystem::path& list_folder) {
  if (!list.is_object() || !list.contains("catalogue") || !list["catalogue"].is_string()) {
    throw tools::InputError("the constants list names no \"catalogue\"");
  }
  return read_catalogue(list_folder / list["catalogue"].get<std::string>());
}

ConstantsArea assemble_constants(const Json& list, const std::filesystem::path& list_folder,
                                 const std::filesystem::path& payload_folder) {
  Assembler assembler(list_catalogue(list, list_folder), list_folder, payload_folder);
  try {
    for (const Json& group : array_member(list, "groups", "the constants list")) {
      const std::string title = group_title(group);
      for (const Json& constant : array_member(group, "constants", "group \"" + title + "\"")) {
        assembler.place({constant, title, entry_name(constant, title)});
      }
    }
  } catch (const Json::exception& e) {
    throw tools::InputError(std::string("the constants list: ") + e.what());
  }
  return assembler.finish();
}

std::string offsets_header(const ConstantsArea& area, const std::string& list_name) {
  std::ostringstream out;
  out << "// Generated by cassemble from " << list_name << ": offsets into the constants area.\n"
      << "#pragma once\n\n#include <cstdint>\n\nnamespace app {\n";
  std::string group;
  for (const PlacedConstant& constant : area.constants) {
    if (constant.group != group) out << "\n// " << (group = constant.group) << "\n";
    out << "constexpr uint32_t " << constant.name << " = " << constant.offset << ";  // " << kind_word(constant.kind)
        << ", " << constant.length << " bytes\n";
  }
  out << "\nconstexpr uint32_t kConstantsLength = " << area.bytes.size() << ";\n\n}  // namespace app\n";
  return out.str();
}

}  // namespace cassemble
