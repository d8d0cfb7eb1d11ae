// The constants assembler: a list and its files in, the constants area and its
// offsets out, byte for byte; payload folders that do not match the catalogue are
// refused with the file named.
#include "tools/constants-assembler/constants_area.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "payload/embedded_blobs.h"
#include "tools/constants-assembler/stand_in.h"

namespace {

using cassemble::Json;
namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

void write(const fs::path& path, std::string_view content) { std::ofstream(path, std::ios::binary) << content; }

// A folder with a two-file catalogue, its payload, a picture and a list using them.
class ConstantsAssembler : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) / ("cassemble-" + std::string(current_test_name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "payload");
    write(folder_ / "catalogue.json",
          R"({"files": [{"name": "a.dll", "length": 3, "kind": "library"},
                        {"name": "b.exe", "length": 2, "kind": "program"}]})");
    write(folder_ / "payload" / "a.dll", "MZ!");
    write(folder_ / "payload" / "b.exe", "MZ");
    write(folder_ / "tick.jpg", "\xFF\xD8");
  }

  static const char* current_test_name() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

  static Json list() {
    return Json::parse(R"({"catalogue": "catalogue.json", "groups": [
        {"by": "step 1", "constants": [
          {"name": "kStatusA", "text": "A "},
          {"name": "kSuffixA", "text": "\\a.dll"},
          {"name": "kBlobA", "payload": "a.dll"}]},
        {"by": "a place kept", "constants": []},
        {"by": "step 2", "constants": [
          {"name": "kBlobB", "payload": "b.exe"},
          {"name": "kTick", "file": "tick.jpg"},
          {"name": "kLibrary", "text": "shell32.dll"}]}]})");
  }

  cassemble::ConstantsArea assemble(const Json& with) const {
    return cassemble::assemble_constants(with, folder_, folder_ / "payload");
  }

  std::string refusal(const Json& with) const {
    try {
      assemble(with);
    } catch (const tools::InputError& e) {
      return e.what();
    }
    ADD_FAILURE() << "the list was accepted";
    return {};
  }

  fs::path folder_;
};

TEST_F(ConstantsAssembler, LaysConstantsBackToBackInListOrder) {
  const Bytes expected = {
      'A',  ' ', 0,                                                 // kStatusA at 0
      '\\', 'a', '.', 'd', 'l', 'l', 0,                             // kSuffixA at 3
      1,    0,   0,   0,   3,   0,   0,   0,   'M',  'Z',  '!',     // kBlobA at 10
      1,    0,   0,   0,   2,   0,   0,   0,   'M',  'Z',           // kBlobB at 21
      1,    0,   0,   0,   2,   0,   0,   0,   0xFF, 0xD8,          // kTick at 31
      's',  'h', 'e', 'l', 'l', '3', '2', '.', 'd',  'l',  'l', 0,  // kLibrary at 41
  };
  EXPECT_EQ(assemble(list()).bytes, expected);
}

TEST_F(ConstantsAssembler, NamesEachOffsetInTheHeader) {
  const auto area = assemble(list());
  const std::vector<std::pair<std::string, uint32_t>> expected = {{"kStatusA", 0}, {"kSuffixA", 3}, {"kBlobA", 10},
                                                                  {"kBlobB", 21},  {"kTick", 31},   {"kLibrary", 41}};
  ASSERT_EQ(area.constants.size(), expected.size());
  const std::string header = cassemble::offsets_header(area, "list.json");
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(area.constants[i].name, expected[i].first);
    EXPECT_EQ(area.constants[i].offset, expected[i].second);
    const std::string line =
        "constexpr uint32_t " + expected[i].first + " = " + std::to_string(expected[i].second) + ";";
    EXPECT_NE(header.find(line), std::string::npos) << line;
  }
  EXPECT_NE(header.find("constexpr uint32_t kConstantsLength = 53;"), std::string::npos) << header;
}

TEST_F(ConstantsAssembler, BlobHeaderIsDimensionCountLengthThenContent) {
  const auto area = assemble(list());
  const payload::EmbeddedBlob blob{area.bytes.data() + 10};
  EXPECT_EQ(blob.content().size(), 3u);
  EXPECT_EQ(Bytes(blob.content().begin(), blob.content().end()), bytes_of("MZ!"));
  EXPECT_EQ(Bytes(area.bytes.begin() + 10, area.bytes.begin() + 18), (Bytes{1, 0, 0, 0, 3, 0, 0, 0}));
}

TEST_F(ConstantsAssembler, ConvertsTextsToGbk) {
  Json chinese = list();
  chinese["groups"][0]["constants"][0]["text"] = "正在抽取文件: 7-zip32.dll ";
  const auto area = assemble(chinese);
  const Bytes expected = {0xD5, 0xFD, 0xD4, 0xDA, 0xB3, 0xE9, 0xC8, 0xA1, 0xCE, 0xC4, 0xBC, 0xFE, ':', ' ',
                          '7',  '-',  'z',  'i',  'p',  '3',  '2',  '.',  'd',  'l',  'l',  ' ',  0};
  EXPECT_EQ(Bytes(area.bytes.begin(), area.bytes.begin() + expected.size()), expected);
  EXPECT_EQ(area.constants[1].offset, expected.size());
}

TEST_F(ConstantsAssembler, RefusesAMissingPayloadFileNamingIt) {
  fs::remove(folder_ / "payload" / "b.exe");
  const std::string message = refusal(list());
  EXPECT_NE(message.find((folder_ / "payload" / "b.exe").string()), std::string::npos) << message;
  EXPECT_NE(message.find("missing"), std::string::npos) << message;
}

TEST_F(ConstantsAssembler, RefusesAPayloadFileOfTheWrongLengthNamingIt) {
  write(folder_ / "payload" / "a.dll", "MZ!!");
  const std::string message = refusal(list());
  EXPECT_NE(message.find((folder_ / "payload" / "a.dll").string()), std::string::npos) << message;
  EXPECT_NE(message.find("4 bytes long; the catalogue says 3"), std::string::npos) << message;
}

TEST_F(ConstantsAssembler, CheckRefusesTheFolderLikeAssembly) {
  write(folder_ / "payload" / "b.exe", "M");
  const auto catalogue = cassemble::read_catalogue(folder_ / "catalogue.json");
  EXPECT_THROW(cassemble::check_payload_folder(folder_ / "payload", catalogue), tools::InputError);
  write(folder_ / "payload" / "b.exe", "MZ");
  EXPECT_NO_THROW(cassemble::check_payload_folder(folder_ / "payload", catalogue));
}

TEST_F(ConstantsAssembler, RefusesACatalogueFileTheListNeverPlaces) {
  Json without_b = list();
  without_b["groups"][2]["constants"].erase(0);
  EXPECT_NE(refusal(without_b).find("never places payload file b.exe"), std::string::npos);
}

TEST_F(ConstantsAssembler, RefusesANameUsedTwice) {
  Json twice = list();
  twice["groups"][2]["constants"][2]["name"] = "kStatusA";
  EXPECT_NE(refusal(twice).find("kStatusA"), std::string::npos);
}

TEST_F(ConstantsAssembler, RefusesAnEntryWithTwoSources) {
  Json both = list();
  both["groups"][0]["constants"][0]["file"] = "tick.jpg";
  EXPECT_NE(refusal(both).find("exactly one"), std::string::npos);
}

TEST(StandInPayload, ArchiveStartsWithThe7zSignatureAndHasTheCatalogueLength) {
  const auto bytes = cassemble::archive_stand_in({"core.7z", 100, "archive"});
  ASSERT_EQ(bytes.size(), 100u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes{0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C, 0x00, 0x04}));
  EXPECT_EQ(cassemble::archive_stand_in({"core.7z", 100, "archive"}), bytes);
}

TEST(StandInPayload, ImagesArePaddedWithZerosAndNeverCut) {
  const auto padded = cassemble::padded_stand_in({"sw.exe", 6, "program"}, bytes_of("MZ!"));
  EXPECT_EQ(padded, (Bytes{'M', 'Z', '!', 0, 0, 0}));
  EXPECT_THROW(cassemble::padded_stand_in({"sw.exe", 2, "program"}, bytes_of("MZ!")), tools::InputError);
}

}  // namespace
