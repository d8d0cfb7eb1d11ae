// A damaged copy of the installer, as a truncated or corrupted download leaves it:
// one byte flipped in what the build embedded. It must say so in a run-time error
// box before any window opens, end with -1, and leave the disk and the registry as
// they were. An undamaged copy in the same place opens its window as usual.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/constant_offsets.h"
#include "desktop_driver.h"
#include "files.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Bytes = std::string;

constexpr DWORD kRuntimeErrorExitCode = 0xFFFFFFFF;
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOWTAN";
constexpr wchar_t kDefaultFolder[] = L"C:\\Program Files (x86)\\Trellimo";
constexpr wchar_t kDamagedMessage[] = L"运行时出错!\r\n\r\n错误信息：安装程序已损坏，请重新下载。\r\n\r\n0, 0\r\n";
// Enough of a block's start to find it in the executable, and only there.
constexpr size_t kSignatureLength = 1024;

void write_file(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path built_file(const char* variable) {
  return fs::path(driver::windows_path(driver::program_from_environment(variable)));
}

// Where `block` starts inside `image`, found by its first bytes; the whole block
// must follow there.
size_t file_offset_of(const Bytes& image, const Bytes& block) {
  const size_t length = std::min(block.size(), kSignatureLength);
  const auto found = std::search(image.begin(), image.end(), block.begin(), block.begin() + length);
  EXPECT_NE(found, image.end());
  const auto offset = static_cast<size_t>(found - image.begin());
  EXPECT_LE(offset + block.size(), image.size());
  EXPECT_TRUE(std::equal(block.begin(), block.end(), image.begin() + static_cast<ptrdiff_t>(offset)));
  return offset;
}

enum class Block { kConstantsArea, kWindowTemplate };

struct Damage {
  const char* what;
  Block block;
  size_t offset_in_block;  // SIZE_MAX: the middle of the block
};

std::string damage_name(const testing::TestParamInfo<Damage>& info) { return info.param.what; }

bool registry_key_exists() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A scratch folder with a copy of the installer; no earlier installation around.
class DamagedInstaller : public testing::TestWithParam<Damage> {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    std::error_code ignored;
    fs::remove_all(kDefaultFolder, ignored);
    folder_ = fs::temp_directory_path() / "trellimo-integrity";
    fs::remove_all(folder_, ignored);
    fs::create_directories(folder_);
    image_ = support::read_file(built_file("TRELLIMO_SETUP"));
    ASSERT_FALSE(image_.empty());
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  size_t block_offset(Block block) const {
    const char* variable = block == Block::kConstantsArea ? "TRELLIMO_CONSTANTS_AREA" : "TRELLIMO_WINDOW_TEMPLATE";
    return file_offset_of(image_, support::read_file(built_file(variable)));
  }

  size_t block_length(Block block) const {
    const char* variable = block == Block::kConstantsArea ? "TRELLIMO_CONSTANTS_AREA" : "TRELLIMO_WINDOW_TEMPLATE";
    return static_cast<size_t>(fs::file_size(built_file(variable)));
  }

  fs::path copy_installer(const Bytes& image) const {
    const fs::path copy = folder_ / "TrellimoSetup.exe";
    write_file(copy, image);
    return copy;
  }

  std::vector<fs::path> folder_entries() const {
    return std::vector<fs::path>(fs::directory_iterator(folder_), fs::directory_iterator());
  }

  fs::path folder_;
  Bytes image_;
};

TEST_P(DamagedInstaller, ShowsTheErrorBoxBeforeAnyWindowAndTouchesNothing) {
  const Damage& damage = GetParam();
  const size_t within =
      damage.offset_in_block == SIZE_MAX ? block_length(damage.block) / 2 : damage.offset_in_block;
  ASSERT_LT(within, block_length(damage.block));
  Bytes damaged = image_;
  damaged[block_offset(damage.block) + within] ^= 0x01;
  const fs::path copy = copy_installer(damaged);

  driver::ChildProcess setup(copy.wstring());
  ASSERT_TRUE(setup.started());
  auto box = driver::wait_for_message_box(setup.id(), 30s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"错误");
  EXPECT_EQ(box->text, kDamagedMessage);
  EXPECT_EQ(driver::wait_for_window(setup.id(), L"kowtan", 0ms), nullptr) << "no installer window behind the box";

  ASSERT_TRUE(driver::press_box_button(*box, IDOK));
  EXPECT_EQ(setup.wait_for_exit(10s), std::optional<DWORD>(kRuntimeErrorExitCode));
  EXPECT_FALSE(fs::exists(kDefaultFolder)) << "no installation folder";
  EXPECT_FALSE(registry_key_exists()) << "no Uninstall entry";
  EXPECT_EQ(folder_entries(), std::vector<fs::path>{copy}) << "nothing written beside the installer";
}

INSTANTIATE_TEST_SUITE_P(
    OneFlippedByte, DamagedInstaller,
    testing::Values(Damage{"PayloadArchive", Block::kConstantsArea, app::kBlobCore + 8 + 1000},
                    Damage{"PayloadLastByte", Block::kConstantsArea, app::kConstantsLength - 1},
                    Damage{"DefaultFolderText", Block::kConstantsArea, app::kDefaultInstallationFolder},
                    Damage{"WindowTemplate", Block::kWindowTemplate, SIZE_MAX}),
    damage_name);

// A download cut short inside the embedded data: the loader refuses the image
// before any of its code runs.
TEST_F(DamagedInstaller, ATruncatedCopyDoesNotStartAndTouchesNothing) {
  const size_t cut = block_offset(Block::kConstantsArea) + block_length(Block::kConstantsArea) / 2;
  const fs::path copy = copy_installer(Bytes(image_.begin(), image_.begin() + static_cast<ptrdiff_t>(cut)));

  driver::ChildProcess setup(copy.wstring());
  EXPECT_FALSE(setup.started());
  EXPECT_FALSE(fs::exists(kDefaultFolder)) << "no installation folder";
  EXPECT_FALSE(registry_key_exists()) << "no Uninstall entry";
  EXPECT_EQ(folder_entries(), std::vector<fs::path>{copy}) << "nothing written beside the installer";
}

// The same copy, undamaged and in the same folder, starts normally: the box above
// comes from the flipped byte and from nothing else about the copy.
TEST_F(DamagedInstaller, AnUndamagedCopyOpensItsWindow) {
  driver::ChildProcess setup(copy_installer(image_).wstring());
  HWND window = driver::wait_for_window(setup.id(), L"kowtan", 30s);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(driver::wait_for_message_box(setup.id(), 0ms).has_value());
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.wait_for_exit(30s), std::optional<DWORD>(0));
}

}  // namespace
