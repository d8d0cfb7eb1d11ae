// Installations that meet trouble on the machine: a worker thread that cannot be
// started, a desktop folder whose name GBK cannot hold, folders that do not exist
// yet, folder names in Chinese, a product file another program holds open or locks,
// a read-only product file, an installation folder that is a file, a folder deeper
// than MAX_PATH, and a drive that fills up half-way (FullDrive, run on its own by
// full-drive-test.sh). Every product file must end either completely new or intact
// old, and the user must be told exactly which files could not be written.

#include "files.h"
#include "installer_fixture.h"
#include "reliability_summary.h"

namespace installer {
namespace {

constexpr wchar_t kWorkerNotStartedMessage[] = L"无法启动安装，请关闭其他程序后重试。";

// A file marked read-only for as long as this lives, so that it can be removed after.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::wstring path) : path_(std::move(path)) {
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  ~ReadOnlyFile() { SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool is_read_only() const {
    const DWORD attributes = GetFileAttributesW(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

 private:
  std::wstring path_;
};

// The form of a path that Windows takes beyond MAX_PATH.
std::wstring beyond_max_path(const std::wstring& path) { return L"\\\\?\\" + path; }

// The files anywhere below `folder`, by their paths from there.
std::set<std::wstring> files_below(const std::wstring& folder) {
  std::set<std::wstring> files;
  for (const std::wstring& name : files_in(folder)) {
    const std::wstring path = in_folder(folder, name.c_str());
    if (!is_folder(path)) files.insert(name);
    for (const std::wstring& below : files_below(path)) files.insert(in_folder(name, below.c_str()));
  }
  return files;
}

unsigned long long embedded_payload_size() {
  unsigned long long size = 0;
  for (const wchar_t* name : kPayloadNames)
    size += support::read_file(in_folder(embedded_payload_folder(), name)).size();
  return size;
}

// A fault case counted into its group's summary line: tried once the fault is
// really in the installer's way, survived when every expectation held.
class FaultCase : public InstallerTest {
 protected:
  void TearDown() override {
    if (fault_in_place_) {
      reliability::GroupCount& count = reliability::group(group_);
      ++count.tried;
      count.survived += HasFailure() ? 0 : 1;
      count.lost += lost_;
    }
    InstallerTest::TearDown();
  }

  void fault_is_in_place(const char* group = "install faults") {
    group_ = group;
    fault_in_place_ = true;
  }
  // Checks the product files against what they held before and counts the lost.
  void expect_new_or_intact(const std::wstring& folder, const FileContents& before, const Outcome& outcome) {
    lost_ += expect_each_file_new_or_intact(folder, before, outcome);
  }

 private:
  const char* group_ = "";
  bool fault_in_place_ = false;
  int lost_ = 0;
};

// The installer whose CreateThread fails: the user is told over the window, the
// first page comes back with nothing installed, and the window still closes.
using WorkerThread = InstallerTest;

TEST_F(WorkerThread, ThatCannotStartIsToldAndTheWindowStillCloses) {
  Session setup(driver::windows_path(driver::program_from_environment("TRELLIMO_THREAD_FAILURE_PROBE")));
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_until_shown(Unit::kQuickInstallButton));
  ASSERT_TRUE(setup.wait_for_tick(Unit::kAgreeToggle, true, 10s));
  const auto box = setup.click_until_message_box(Unit::kQuickInstallButton);
  ASSERT_TRUE(box.has_value()) << "no message";
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, kWorkerNotStartedMessage);
  EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), setup.window());
  dismiss(*box);

  EXPECT_TRUE(setup.wait_until_shown(Unit::kQuickInstallButton)) << "the first page comes back";
  EXPECT_TRUE(IsWindowVisible(setup.unit(Unit::kAgreeToggle)));
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kProgressTrack)));
  EXPECT_FALSE(file_exists(kDefaultFolder));
  EXPECT_TRUE(uninstall_values().empty());
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// A recorded folder, top levels included, that does not exist yet.
class RecordedFolder : public FaultCase, public testing::WithParamInterface<const wchar_t*> {
 protected:
  void SetUp() override {
    FaultCase::SetUp();
    top_ = std::wstring(GetParam()).substr(0, std::wstring(GetParam()).find(L'\\', 3));
    forget_installation(top_);
    also_forget(top_);
  }
  std::wstring top_;
};

TEST_P(RecordedFolder, IsOfferedWithoutQuotesAndMadeLevelByLevel) {
  const std::wstring folder = GetParam();
  record_install_location("\"" + narrow(folder) + "\"");
  fault_is_in_place();
  Session setup;
  ASSERT_TRUE(setup.has_window());
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), folder);
  const Outcome outcome = install_to_finish_page(setup);
  ASSERT_TRUE(outcome.finished) << setup.installation_report();
  EXPECT_FALSE(outcome.told) << "nothing failed";

  expect_payload_installed(folder);
  expect_new_or_intact(folder, {}, outcome);
  EXPECT_EQ(names_in(folder), installed_names());
  const auto values = uninstall_values();
  EXPECT_EQ(values.size(), 1u) << "an installation already recorded is not registered again";
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Missing, RecordedFolder,
                         testing::Values(L"C:\\trellimo-missing\\deeper\\Trellimo", L"C:\\中文目录\\变声器\\Trellimo"));

// An earlier version in the default folder, one of whose files the test makes
// impossible to replace; the rest must be replaced and that one kept.
class ObstructedProductFile : public FaultCase {
 protected:
  void SetUp() override {
    FaultCase::SetUp();
    before_ = lay_down_earlier_version(kDefaultFolder);
  }

  // The installation over the earlier version, through to the finish page.
  Outcome install(Session& setup) {
    EXPECT_TRUE(setup.has_window());
    const Outcome outcome = install_to_finish_page(setup);
    EXPECT_TRUE(outcome.finished) << setup.installation_report();
    return outcome;
  }

  // Only `kept` stayed as it was, and the user was told about it before the finish
  // page; everything else is installed.
  void expect_only_kept(const wchar_t* kept, const Outcome& outcome) {
    EXPECT_TRUE(outcome.told) << "the user must be told";
    EXPECT_TRUE(outcome.told_over_window) << "the message belongs to the installer window";
    EXPECT_EQ(outcome.files_named, std::set<std::wstring>{kept});
    expect_new_or_intact(kDefaultFolder, before_, outcome);
    EXPECT_EQ(names_in(kDefaultFolder), installed_names()) << "no temporary file left behind";
    EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
  }

  // Installs while `held` keeps `kept` from being replaced, and checks once it lets go.
  void install_past(HeldFile& held, const wchar_t* kept) {
    fault_is_in_place();
    Session setup;
    const Outcome outcome = install(setup);
    held.release();
    expect_only_kept(kept, outcome);
    EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
  }

  std::wstring product_file(const wchar_t* name) const { return in_folder(kDefaultFolder, name); }

  FileContents before_;
};

// Another program holds a product file open without sharing it, as a running copy
// of the product would.
TEST_F(ObstructedProductFile, HeldOpenWithoutSharingIsNamedToTheUserAndKept) {
  HeldFile held(product_file(L"core.7z"), 0);
  ASSERT_TRUE(held.held());
  install_past(held, L"core.7z");
}

// Another program shares the file for everything, deletion included, but locks
// all its bytes: written in place, it would be cut off at the lock.
TEST_F(ObstructedProductFile, LockedByAnotherProgramIsNamedToTheUserAndKept) {
  HeldFile held(product_file(L"zlibwapi.dll"), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  ASSERT_TRUE(held.held());
  ASSERT_TRUE(held.lock_all_bytes());
  install_past(held, L"zlibwapi.dll");
}

TEST_F(ObstructedProductFile, ReadOnlyIsNamedToTheUserAndKept) {
  const ReadOnlyFile read_only(product_file(L"sw.exe"));
  ASSERT_TRUE(read_only.is_read_only());
  fault_is_in_place();
  Session setup;
  expect_only_kept(L"sw.exe", install(setup));
  EXPECT_TRUE(read_only.is_read_only());
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// A recorded installation folder that cannot take files at all: every product
// file is named to the user, and nothing is written anywhere else instead.
class UnusableFolder : public FaultCase {
 protected:
  void SetUp() override {
    FaultCase::SetUp();
    forget_installation(beyond_max_path(kTop));
    also_forget(beyond_max_path(kTop));
  }

  // Installs into `folder`, recorded as the earlier installation's, and checks that
  // the user was told about all seven files and that `folder` still holds `before`.
  void install_into_unusable(const std::wstring& folder, const FileContents& before) {
    record_install_location("\"" + narrow(folder) + "\"");
    Session setup;
    ASSERT_TRUE(setup.has_window());
    const Outcome outcome = install_to_finish_page(setup);
    ASSERT_TRUE(outcome.finished) << setup.installation_report();
    EXPECT_TRUE(outcome.told) << "the user must be told";
    EXPECT_EQ(outcome.files_named, std::set<std::wstring>(std::begin(kPayloadNames), std::end(kPayloadNames)));
    expect_new_or_intact(folder, before, outcome);
    EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
  }

  static constexpr wchar_t kTop[] = L"C:\\trellimo-unusable";
};

TEST_F(UnusableFolder, AFileInsteadOfTheFolderIsKeptAndEveryFileIsNamed) {
  const std::wstring folder = in_folder(kTop, L"Trellimo");
  write_file(folder, "a file where the folder should be");
  fault_is_in_place();
  install_into_unusable(folder, {});
  EXPECT_EQ(support::read_file(folder), "a file where the folder should be");
  EXPECT_EQ(names_in(kTop), std::set<std::wstring>{L"Trellimo"}) << "nothing written beside it instead";
}

// A folder whose own path is longer than MAX_PATH, holding an earlier version; the
// installer's paths stop short of MAX_PATH, so every file must stay as it was, and
// no file may land in a folder made from a cut-off path.
TEST_F(UnusableFolder, BeyondMaxPathKeepsTheEarlierVersionAndEveryFileIsNamed) {
  std::wstring folder = kTop;
  while (folder.size() <= MAX_PATH) folder += L"\\a-folder-name-of-forty-characters-123456";
  folder += L"\\Trellimo";
  const FileContents before = lay_down_earlier_version(beyond_max_path(folder));
  ASSERT_EQ(names_in(beyond_max_path(folder)).size(), std::size(kPayloadNames));
  fault_is_in_place();
  install_into_unusable(beyond_max_path(folder), before);
  // The shell, which takes long paths, may still have saved the uninstall shortcut there.
  const std::wstring inside = folder.substr(wcslen(kTop) + 1) + L"\\";
  for (const std::wstring& file : files_below(beyond_max_path(kTop))) {
    EXPECT_EQ(file.rfind(inside, 0), 0u) << narrow(file) << " lies outside the installation folder";
  }
}

// The current user's desktop moved, for as long as this lives, to a folder whose
// name GBK has no characters for (Thai).
class DesktopOutsideGbk {
 public:
  static constexpr wchar_t kFolder[] = L"C:\\trellimo-desktop-\x0E01\x0E02";

  DesktopOutsideGbk() {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS)
      return;
    DWORD size = 0;
    had_value_ = RegQueryValueExW(key_, kDesktop, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    saved_.resize(size);
    if (had_value_) RegQueryValueExW(key_, kDesktop, nullptr, &type_, saved_.data(), &size);
    CreateDirectoryW(kFolder, nullptr);
    RegSetValueExW(key_, kDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>(kFolder), sizeof kFolder);
  }
  ~DesktopOutsideGbk() {
    if (key_ == nullptr) return;
    if (had_value_) {
      RegSetValueExW(key_, kDesktop, 0, type_, saved_.data(), static_cast<DWORD>(saved_.size()));
    } else {
      RegDeleteValueW(key_, kDesktop);
    }
    RegCloseKey(key_);
    remove_tree(kFolder);
  }
  DesktopOutsideGbk(const DesktopOutsideGbk&) = delete;
  DesktopOutsideGbk& operator=(const DesktopOutsideGbk&) = delete;

 private:
  static constexpr wchar_t kUserShellFolders[] =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr wchar_t kDesktop[] = L"Desktop";
  HKEY key_ = nullptr;
  bool had_value_ = false;
  DWORD type_ = REG_NONE;
  std::vector<BYTE> saved_;
};

// A desktop whose path would be garbled in GBK gets no shortcut, and the user is
// told with the files that could not be written; the rest is installed.
using UnusableDesktop = FaultCase;

TEST_F(UnusableDesktop, AFolderGbkCannotHoldGetsNoShortcutAndIsNamed) {
  const DesktopOutsideGbk desktop;
  ASSERT_EQ(desktop_folder(), DesktopOutsideGbk::kFolder) << "the shell must see the moved desktop";
  fault_is_in_place();
  Session setup;
  ASSERT_TRUE(setup.has_window());
  const Outcome outcome = install_to_finish_page(setup);
  ASSERT_TRUE(outcome.finished) << setup.installation_report();
  EXPECT_TRUE(outcome.told) << "the user must be told";
  EXPECT_TRUE(outcome.told_over_window);
  EXPECT_EQ(outcome.files_named, std::set<std::wstring>{L"Trellimo.lnk"});
  expect_payload_installed(kDefaultFolder);
  EXPECT_EQ(names_in(kDefaultFolder), installed_names());
  EXPECT_EQ(names_in(DesktopOutsideGbk::kFolder), std::set<std::wstring>{});
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// A drive that fills up part-way through the product: the files that fit are new,
// the others keep the earlier version, and no half-written file is left behind.
using FullDrive = FaultCase;

TEST_F(FullDrive, KeepsEachFileNewOrIntactAndNamesTheOnesThatDidNotFit) {
  const char* drive = std::getenv("TRELLIMO_FULL_DRIVE");
  if (drive == nullptr) GTEST_SKIP() << "run by full-drive-test.sh";
  const std::wstring folder = std::wstring(drive, drive + 2) + L"\\Trellimo";
  also_forget(folder);
  const FileContents before = lay_down_earlier_version(folder);
  ULARGE_INTEGER free_bytes{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(folder.c_str(), &free_bytes, nullptr, nullptr));
  ASSERT_LT(free_bytes.QuadPart, embedded_payload_size()) << "the drive must be too small for the product";
  record_install_location("\"" + narrow(folder) + "\"");
  fault_is_in_place("full drive");

  Session setup;
  ASSERT_TRUE(setup.has_window());
  const Outcome outcome = install_to_finish_page(setup);
  ASSERT_TRUE(outcome.finished) << setup.installation_report();
  EXPECT_TRUE(outcome.told) << "the user must be told";
  EXPECT_FALSE(outcome.files_named.empty());
  EXPECT_LT(outcome.files_named.size(), std::size(kPayloadNames)) << "the small files fit";
  expect_new_or_intact(folder, before, outcome);
  for (const std::wstring& name : names_in(folder)) EXPECT_EQ(name.find(L".part"), std::wstring::npos) << narrow(name);
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
