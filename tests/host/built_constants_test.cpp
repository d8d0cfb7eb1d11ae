// The constants area a Windows build embedded against the offsets it generated for
// the installer's code, the constants list and the payload it embedded: every
// constant sits where its name says, with the bytes the list and the catalogue give.
// The Windows tree runs this with the three paths in TRELLIMO_CONSTANTS_AREA,
// TRELLIMO_CONSTANT_OFFSETS and TRELLIMO_EMBEDDED_PAYLOAD.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "payload/embedded_blobs.h"
#include "tools/constants-assembler/payload_catalogue.h"
#include "tools/template-compiler/gbk_text.h"

namespace {

using cassemble::Json;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

std::string built_path(const char* variable) {
  const char* path = std::getenv(variable);
  return path != nullptr ? path : "";
}

// Every "constexpr uint32_t kName = 123;" line of the generated header.
std::map<std::string, uint32_t> generated_offsets() {
  std::map<std::string, uint32_t> offsets;
  std::string constexpr_word, type, name, equals;
  uint32_t value = 0;
  for (const std::string& line : support::lines_of(support::read_text(built_path("TRELLIMO_CONSTANT_OFFSETS")))) {
    std::istringstream words(line);
    if (words >> constexpr_word >> type >> name >> equals >> value && constexpr_word == "constexpr")
      offsets[name] = value;
  }
  return offsets;
}

class BuiltConstants : public testing::Test {
 protected:
  void SetUp() override {
    const std::string area = built_path("TRELLIMO_CONSTANTS_AREA");
    ASSERT_TRUE(fs::exists(area)) << "no constants area at '" << area << "'";
    area_ = tools::read_file(area);
    offsets_ = generated_offsets();
    ASSERT_TRUE(offsets_.contains("kConstantsLength")) << built_path("TRELLIMO_CONSTANT_OFFSETS");
  }

  uint32_t offset(const std::string& name) {
    EXPECT_TRUE(offsets_.contains(name)) << name;
    return offsets_[name];
  }

  std::string text_at(uint32_t at) const {
    const auto end = std::find(area_.begin() + at, area_.end(), 0);
    EXPECT_NE(end, area_.end()) << "text at " << at << " runs off the area";
    return std::string(area_.begin() + at, end);
  }

  static std::vector<Json> listed_constants() {
    const Json list = tools::read_json_file(CONSTANTS_LIST_PATH);
    std::vector<Json> constants;
    for (const Json& group : list["groups"]) {
      for (const Json& constant : group["constants"]) constants.push_back(constant);
    }
    return constants;
  }

  Bytes area_;
  std::map<std::string, uint32_t> offsets_;
};

TEST_F(BuiltConstants, AreaHasTheGeneratedLength) { EXPECT_EQ(area_.size(), offsets_["kConstantsLength"]); }

TEST_F(BuiltConstants, EveryListedTextIsItsGbkAtItsOffset) {
  for (const Json& constant : listed_constants()) {
    if (!constant.contains("text")) continue;
    const auto gbk = tplc::utf8_to_gbk(constant["text"].get<std::string>());
    ASSERT_TRUE(gbk);
    EXPECT_EQ(text_at(offset(constant["name"])), *gbk) << constant["name"];
  }
}

TEST_F(BuiltConstants, EachPayloadBlobIsTheCopiedFileAfterItsSuffix) {
  const auto catalogue = cassemble::read_catalogue(PAYLOAD_CATALOGUE_PATH);
  const auto constants = listed_constants();
  size_t blobs = 0;
  for (size_t i = 1; i < constants.size(); ++i) {
    if (!constants[i].contains("payload")) continue;
    const auto& file = cassemble::catalogue_file(catalogue, constants[i]["payload"]);
    const uint32_t at = offset(constants[i]["name"]);
    const payload::EmbeddedBlob blob{area_.data() + at};
    EXPECT_EQ(Bytes(area_.begin() + at, area_.begin() + at + 4), (Bytes{1, 0, 0, 0})) << file.name;
    EXPECT_EQ(blob.content().size(), file.length) << file.name;
    EXPECT_EQ(Bytes(blob.content().begin(), blob.content().end()),
              tools::read_file(fs::path(built_path("TRELLIMO_EMBEDDED_PAYLOAD")) / file.name))
        << file.name;
    EXPECT_EQ(text_at(offset(constants[i - 1]["name"])), "\\" + file.name);
    ++blobs;
  }
  EXPECT_EQ(blobs, catalogue.size());
}

TEST_F(BuiltConstants, ToggleBlobsAreTheCommittedPictures) {
  for (const Json& constant : listed_constants()) {
    if (!constant.contains("file")) continue;
    const Bytes picture =
        tools::read_file(fs::path(CONSTANTS_LIST_PATH).parent_path() / constant["file"].get<std::string>());
    const payload::EmbeddedBlob blob{area_.data() + offset(constant["name"])};
    EXPECT_EQ(Bytes(blob.content().begin(), blob.content().end()), picture) << constant["file"];
  }
}

TEST(PayloadCatalogue, HoldsTheProductsSevenFilesAndTheirLengths) {
  const auto catalogue = cassemble::read_catalogue(PAYLOAD_CATALOGUE_PATH);
  std::vector<std::pair<std::string, uint32_t>> files;
  for (const auto& file : catalogue) files.emplace_back(file.name, file.length);
  const std::vector<std::pair<std::string, uint32_t>> expected = {
      {"7-zip32.dll", 640512}, {"BASS_VST.dll", 14456}, {"libcurl.dll", 1728512}, {"core.7z", 6768359},
      {"launch.exe", 430080},  {"zlibwapi.dll", 74240}, {"sw.exe", 86824}};
  EXPECT_EQ(files, expected);
}

}  // namespace
