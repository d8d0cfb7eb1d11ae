// The registry, file and INI services inside a running program on the frame, one
// scenario per process, checked against Wine's real registry and file system: the
// tests prepare keys and files, let the probe call the services, and read back what
// the services logged and what they left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "frame/owned_handle.h"
#include "probe_runner.h"
#include "storage_fixture.h"

namespace {

using frame::OwnedKernelHandle;
using frame::OwnedKey;
using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

constexpr char kProbe[] = "TRELLIMO_STORAGE_PROBE";
// Set only by full-drive-test.sh, which maps a small, nearly full drive to it.
constexpr char kFullDriveVariable[] = "TRELLIMO_FULL_DRIVE";

Lines play(const std::string& scenario) {
  const driver::ProbeRun run = driver::run_probe(kProbe, scenario);
  EXPECT_EQ(run.exit_code, std::optional<DWORD>(0)) << scenario;
  return support::lines_of(run.log);
}

// ---- registry --------------------------------------------------------------

struct StoredValue {
  DWORD type = REG_NONE;
  Bytes data;
  bool operator==(const StoredValue&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StoredValue& value) {
  out << "type " << value.type << ", " << value.data.size() << " bytes:";
  for (uint8_t byte : value.data) out << ' ' << static_cast<int>(byte);
  return out;
}

StoredValue text_value(const std::string& text, DWORD type = REG_SZ) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return {type, data};
}

StoredValue dword_value(uint32_t number) {
  return {REG_DWORD, Bytes{static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                           static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)}};
}

OwnedKey open_key(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  return OwnedKey(key);
}

std::optional<StoredValue> stored(HKEY root, const std::string& key_path, const std::string& name) {
  const OwnedKey key = open_key(root, key_path);
  if (!key) return {};
  StoredValue value;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return {};
  value.data.resize(size);
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, value.data.data(), &size) != ERROR_SUCCESS) return {};
  return value;
}

std::optional<StoredValue> stored_in_test_key(const std::string& name) {
  return stored(HKEY_CURRENT_USER, storage::kTestKey, name);
}

void set_value_at(HKEY root, const std::string& key_path, const std::string& name, const StoredValue& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(root, key_path.c_str(), &key), ERROR_SUCCESS);
  const OwnedKey owned(key);
  ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size())),
            ERROR_SUCCESS);
}

void set_value(const std::string& name, const StoredValue& value) {
  set_value_at(HKEY_CURRENT_USER, storage::kTestKey, name, value);
}

// The test key starts missing and is gone again afterwards, under every root.
class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { remove_test_keys(); }
  void TearDown() override { remove_test_keys(); }

  static void remove_test_keys() {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      RegDeleteTreeA(root, storage::kTestKey);
    RegDeleteTreeA(HKEY_USERS, users_test_key().c_str());
    RegDeleteValueA(HKEY_CURRENT_USER, storage::kRootValueName);
  }
  static std::string users_test_key() { return std::string(storage::kUsersHive) + "\\" + storage::kTestKey; }
};

class PreparedValues : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    SetEnvironmentVariableA(storage::kExpandVariable, "C:\\expanded");
    set_value("text", text_value("hello world"));
    set_value("empty", text_value(""));
    set_value("expandable", text_value("%TRELLIMO_STORAGE_EXPANDED%\\tail", REG_EXPAND_SZ));
    set_value("number", dword_value(7));
    set_value("binary", {REG_BINARY, Bytes{'a', 'b', 'c', 0}});
    set_value("", text_value("the default"));
    set_value_at(HKEY_CURRENT_USER, "", storage::kRootValueName, text_value("root text"));
  }
};

TEST_F(PreparedValues, GivesTextsExpandedAndTheDefaultForEverythingElse) {
  EXPECT_EQ(play("read-texts"), (Lines{
                                    "text with default [hello world]",
                                    "text without default [hello world]",
                                    "empty with default null",
                                    "empty without default null",
                                    "expandable with default [C:\\expanded\\tail]",
                                    "expandable without default [C:\\expanded\\tail]",
                                    "number with default [fallback]",
                                    "number without default null",
                                    "binary with default [fallback]",
                                    "binary without default null",
                                    "missing with default [fallback]",
                                    "missing without default null",
                                    "NoSuchKey\\text with default [fallback]",
                                    "NoSuchKey\\text without default null",
                                    " with default [the default]",
                                    " without default [the default]",
                                    "root value [root text]",
                                    "text under root 99 [hello world]",
                                    "text under root 4 [not here]",
                                }));
}

TEST_F(PreparedValues, ExistenceFollowsTheValueNotItsType) {
  EXPECT_EQ(play("existence"), (Lines{"text true", "number true", "missing false", "NoSuchKey\\text false", " true"}));
}

TEST_F(RegistryTest, ExistenceOfAnUnsetDefaultValueIsFalse) {
  set_value("text", text_value("x"));
  EXPECT_EQ(play("existence"),
            (Lines{"text true", "number false", "missing false", "NoSuchKey\\text false", " false"}));
}

class WriteValues : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    log_ = play("write-values");
  }
  Lines log_;
};

TEST_F(WriteValues, ReportsWhatWasWritten) {
  EXPECT_EQ(log_, (Lines{"text true", "empty text true", "integer true", "double true", "byte true", "binary true",
                         "logical false", "omitted false", "nested true", "default value true", "double-byte name true",
                         "no backslash true"}));
}

TEST_F(WriteValues, TextIsStoredWithItsTerminatingZero) {
  EXPECT_EQ(stored_in_test_key("text"), text_value("hello"));
  EXPECT_EQ(stored_in_test_key("text")->data.size(), 6u);
  EXPECT_EQ(stored_in_test_key("empty"), text_value(""));
}

TEST_F(WriteValues, NumbersAreStoredAsDwords) {
  EXPECT_EQ(stored_in_test_key("integer"), dword_value(0x12345678));
  EXPECT_EQ(stored_in_test_key("double"), dword_value(static_cast<uint32_t>(-2)));
  EXPECT_EQ(stored_in_test_key("byte"), dword_value(200));
}

TEST_F(WriteValues, ByteArraysAreStoredAsBinary) {
  EXPECT_EQ(stored_in_test_key("binary"), (StoredValue{REG_BINARY, Bytes{1, 2, 3, 0, 255}}));
}

TEST_F(WriteValues, OtherValueTypesWriteNothing) {
  EXPECT_EQ(stored_in_test_key("logical"), std::nullopt);
  EXPECT_EQ(stored_in_test_key("omitted"), std::nullopt);
}

TEST_F(WriteValues, MissingKeysOnThePathAreCreated) {
  EXPECT_EQ(stored(HKEY_CURRENT_USER, std::string(storage::kTestKey) + "\\a\\b\\c", "value"), text_value("deep"));
}

TEST_F(WriteValues, TrailingBackslashWritesTheDefaultValue) {
  EXPECT_EQ(stored_in_test_key(""), text_value("default"));
}

TEST_F(WriteValues, BackslashTrailByteStaysInTheValueName) {
  EXPECT_EQ(stored_in_test_key("\x81\x5CName"), text_value("dbcs"));
  EXPECT_FALSE(open_key(HKEY_CURRENT_USER, std::string(storage::kTestKey) + "\\\x81"));
}

TEST_F(WriteValues, PathWithoutBackslashIsAValueOfTheRoot) {
  EXPECT_EQ(stored(HKEY_CURRENT_USER, "", storage::kRootValueName), text_value("at the root"));
}

TEST_F(RegistryTest, RootNumbersChooseTheRootKeyAndAnyOtherMeansCurrentUser) {
  EXPECT_EQ(play("write-roots"), (Lines{"root 0 true", "root 1 true", "root 2 true", "root 3 true", "root 4 true",
                                        "root 5 true", "root 6 true", "root -1 true", "root 99 true"}));
  const auto value_under = [](HKEY root, int32_t number) {
    return stored(root, storage::kTestKey, "root " + std::to_string(number));
  };
  for (int32_t number : {0, 3, 6, -1, 99})
    EXPECT_EQ(value_under(HKEY_CURRENT_USER, number), dword_value(static_cast<uint32_t>(number))) << number;
  EXPECT_EQ(value_under(HKEY_CLASSES_ROOT, 1), dword_value(1));
  EXPECT_EQ(value_under(HKEY_CURRENT_CONFIG, 2), dword_value(2));
  EXPECT_EQ(value_under(HKEY_LOCAL_MACHINE, 4), dword_value(4));
  EXPECT_EQ(stored(HKEY_USERS, users_test_key(), "root 5"), dword_value(5));
  for (int32_t other : {1, 2, 4, 5}) EXPECT_EQ(value_under(HKEY_CURRENT_USER, other), std::nullopt) << other;
}

// ---- files -------------------------------------------------------------------

namespace fs = std::filesystem;

void put_file(const fs::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::set<std::string> names_in(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// A fresh folder per test, named after it, that the probe is pointed at.
class FileTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("storage-") + test->test_suite_name() + "-" + test->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    point_probe_at(folder_.string());
  }
  void TearDown() override { fs::remove_all(folder_); }

  static void point_probe_at(const std::string& folder) {
    SetEnvironmentVariableA(storage::kFolderVariable, folder.c_str());
  }
  fs::path in_folder(const std::string& name) const { return folder_ / name; }

  fs::path folder_;
};

TEST_F(FileTest, PayloadSizedArrayIsWrittenByteForByte) {
  put_file(in_folder("payload.bin"), storage::payload_bytes(storage::kPayloadSize + 4096));
  EXPECT_EQ(play("write-payload"), Lines{"payload true"});
  EXPECT_EQ(support::read_bytes(in_folder("payload.bin")), storage::payload_bytes(storage::kPayloadSize));
  EXPECT_EQ(names_in(folder_), std::set<std::string>{"payload.bin"});
}

TEST_F(FileTest, ArraysAreWrittenBackToBackSkippingEmptyAndNegativeLengths) {
  EXPECT_EQ(play("write-pieces"), Lines{"pieces true"});
  EXPECT_EQ(support::read_bytes(in_folder("pieces.txt")), bytes_of("abcdefg"));
}

TEST_F(FileTest, ZeroLengthArrayCreatesAnEmptyFile) {
  EXPECT_EQ(play("write-empty-array"), Lines{"empty array true"});
  ASSERT_TRUE(fs::exists(in_folder("empty.bin")));
  EXPECT_EQ(fs::file_size(in_folder("empty.bin")), 0u);
}

TEST_F(FileTest, PathAloneEmptiesAnExistingFile) {
  put_file(in_folder("old.txt"), bytes_of("old content"));
  EXPECT_EQ(play("write-path-only"), Lines{"path only true"});
  EXPECT_EQ(fs::file_size(in_folder("old.txt")), 0u);
}

TEST_F(FileTest, EmptyPathFails) {
  EXPECT_EQ(play("write-empty-path"), Lines{"empty path false"});
  EXPECT_TRUE(names_in(folder_).empty());
}

TEST_F(FileTest, MissingFolderFailsAndCreatesNothing) {
  EXPECT_EQ(play("write-into-missing-folder"), Lines{"missing folder false"});
  EXPECT_TRUE(names_in(folder_).empty());
}

TEST_F(FileTest, FileHeldOpenWithoutSharingIsLeftAlone) {
  put_file(in_folder("held.txt"), bytes_of("old content"));
  {
    const OwnedKernelHandle held(CreateFileA(in_folder("held.txt").string().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(play("write-held-file"), Lines{"held file false"});
  }
  EXPECT_EQ(support::read_bytes(in_folder("held.txt")), bytes_of("old content"));
  EXPECT_EQ(names_in(folder_), std::set<std::string>{"held.txt"});
}

TEST_F(FileTest, DirectoryIsCreatedOnceAndOnlyUnderAnExistingParent) {
  EXPECT_EQ(play("create-directories"), (Lines{"new true", "existing false", "missing parent false"}));
  EXPECT_TRUE(fs::is_directory(in_folder("fresh")));
  EXPECT_FALSE(fs::exists(in_folder("missing")));
}

constexpr char kConfig[] =
    "[audio]\r\nvolume=5\r\ndevice=mic 1\r\n"
    "[user]\r\nname=someone\r\ntoken=abc\r\n"
    "[video]\r\nsize=2\r\n";

TEST_F(FileTest, SectionRemovalLeavesTheOtherSectionsAsTheyWere) {
  put_file(in_folder("Config.ini"), bytes_of(kConfig));
  EXPECT_EQ(play("ini-section-removal"), Lines{"remove section true"});
  EXPECT_EQ(support::read_bytes(in_folder("Config.ini")), bytes_of("[audio]\r\nvolume=5\r\ndevice=mic 1\r\n"
                                                                   "[video]\r\nsize=2\r\n"));
}

TEST_F(FileTest, KeysAreRemovedSetAndAdded) {
  put_file(in_folder("Config.ini"), bytes_of(kConfig));
  EXPECT_EQ(play("ini-key-writes"), (Lines{"remove key true", "set key true", "new section true"}));
  EXPECT_EQ(support::read_bytes(in_folder("Config.ini")), bytes_of("[audio]\r\ndevice=mic 2\r\n"
                                                                   "[user]\r\nname=someone\r\ntoken=abc\r\n"
                                                                   "[video]\r\nsize=2\r\n"
                                                                   "[added]\r\nkey=value\r\n"));
}

// A write that runs out of room part-way: the drive (a 1 MiB tmpfs that
// full-drive-test.sh maps) cannot hold the oversized payload next to the old file.
TEST(FullDrive, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const char* drive = std::getenv(kFullDriveVariable);
  ASSERT_NE(drive, nullptr) << "run through full-drive-test.sh";
  const fs::path folder = std::string(drive) + "\\";
  const Bytes old_content = storage::payload_bytes(300 * 1024);
  put_file(folder / "payload.bin", old_content);
  SetEnvironmentVariableA(storage::kFolderVariable, drive);
  EXPECT_EQ(play("write-oversized-payload"), Lines{"payload false"});
  EXPECT_EQ(support::read_bytes(folder / "payload.bin"), old_content);
  EXPECT_EQ(names_in(folder), std::set<std::string>{"payload.bin"});
}

}  // namespace
