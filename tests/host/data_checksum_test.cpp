// The program header's data checksum: CRC-32 over the constants area and then the
// window template, as the frame computes it at start-up and as cassemble checksum
// writes it into the program at build time.
#include "frame/data_checksum.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files.h"
#include "tools/constants-assembler/checksum_source.h"
#include "tools/constants-assembler/payload_catalogue.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

// CRC-32's published check value: the nine digits "123456789".
constexpr uint32_t kCheckValue = 0xCBF43926;

TEST(DataChecksum, IsTheStandardCrc32) {
  EXPECT_EQ(frame::data_checksum(bytes_of("123456789"), {}), kCheckValue);
  EXPECT_EQ(frame::data_checksum({}, bytes_of("123456789")), kCheckValue);
  EXPECT_EQ(frame::data_checksum({}, {}), frame::kEmptyDataChecksum);
}

TEST(DataChecksum, CoversTheTwoBlocksAsOneRunOfBytes) {
  const Bytes digits = bytes_of("123456789");
  for (size_t split = 0; split <= digits.size(); ++split) {
    SCOPED_TRACE(split);
    const std::span<const uint8_t> all(digits);
    EXPECT_EQ(frame::data_checksum(all.first(split), all.subspan(split)), kCheckValue);
  }
  EXPECT_NE(frame::data_checksum(bytes_of("template"), bytes_of("constants")),
            frame::data_checksum(bytes_of("constants"), bytes_of("template")))
      << "the order of the blocks counts";
}

TEST(DataChecksum, ChangesWithAnyOneFlippedBit) {
  Bytes block(4096);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
  const uint32_t intact = frame::data_checksum(block, {});
  for (size_t position : {size_t{0}, size_t{1}, size_t{2047}, size_t{4095}}) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes damaged = block;
      damaged[position] ^= static_cast<uint8_t>(1 << bit);
      EXPECT_NE(frame::data_checksum(damaged, {}), intact) << "byte " << position << " bit " << bit;
    }
  }
  EXPECT_NE(frame::data_checksum(std::span<const uint8_t>(block).first(4095), {}), intact) << "a truncated block";
}

TEST(DataChecksum, ExtendingPieceByPieceEqualsOnePass) {
  const Bytes digits = bytes_of("123456789");
  uint32_t sum = frame::kEmptyDataChecksum;
  for (uint8_t byte : digits) sum = frame::extend_data_checksum(sum, std::span<const uint8_t>(&byte, 1));
  EXPECT_EQ(sum, kCheckValue);
}

class ChecksumTool : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) /
              ("checksum-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    write("constants.bin", "12345");
    write("window.tpl", "6789");
  }

  void write(const std::string& name, std::string_view content) const {
    std::ofstream(folder_ / name, std::ios::binary) << content;
  }

  static int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path folder_;
};

TEST_F(ChecksumTool, ChecksumsFilesLaidEndToEnd) {
  EXPECT_EQ(cassemble::checksum_of_files({folder_ / "constants.bin", folder_ / "window.tpl"}), kCheckValue);
  EXPECT_EQ(cassemble::checksum_of_files({}), frame::kEmptyDataChecksum);
  EXPECT_THROW(cassemble::checksum_of_files({folder_ / "missing.bin"}), tools::FileError);
}

TEST_F(ChecksumTool, SourceDefinesTheAlignedWordTheProgramHeaderReads) {
  EXPECT_EQ(cassemble::checksum_source(kCheckValue, {"constants.bin", "window.tpl"}),
            "/* Written by cassemble checksum: CRC-32 of constants.bin, window.tpl. */\n"
            "  .section .rdata,\"dr\"\n"
            "  .balign 4\n"
            "  .globl _program_data_checksum\n"
            "_program_data_checksum:\n"
            "  .long 0xCBF43926\n");
  EXPECT_NE(cassemble::checksum_source(0, {}).find("CRC-32 of no data. */\n"), std::string::npos);
  EXPECT_NE(cassemble::checksum_source(0, {}).find("  .long 0x00000000\n"), std::string::npos);
}

TEST_F(ChecksumTool, ProgramWritesTheSourceAndRefusesAMissingFile) {
  const fs::path source = folder_ / "checksum.S";
  const std::string tool = CASSEMBLE_PATH;
  ASSERT_EQ(run(tool + " checksum " + source.string() + " " + (folder_ / "constants.bin").string() + " " +
                (folder_ / "window.tpl").string()),
            0);
  EXPECT_EQ(support::read_file(source), cassemble::checksum_source(kCheckValue, {"constants.bin", "window.tpl"}));

  EXPECT_EQ(run(tool + " checksum " + (folder_ / "other.S").string() + " " + (folder_ / "missing.bin").string() +
                " 2> /dev/null"),
            1);
  EXPECT_FALSE(fs::exists(folder_ / "other.S"));
  EXPECT_EQ(run(tool + " checksum 2> /dev/null"), 2) << "an output file is required";
}

}  // namespace
