// Installations that meet trouble on the machine: folders that do not exist yet,
// folder names in Chinese, and a product file another program holds open. Nothing
// may be lost, and the user is told what could not be written.
#include <set>

#include "installer_fixture.h"

namespace installer {
namespace {

constexpr wchar_t kFilesNotWrittenMessage[] =
    L"以下文件未能写入安装目录，请关闭正在使用它们的程序后重新安装：";

std::set<std::wstring> names_in(const std::wstring& folder) {
  const auto names = files_in(folder);
  return std::set<std::wstring>(names.begin(), names.end());
}

std::set<std::wstring> installed_names() {
  std::set<std::wstring> names(std::begin(kPayloadNames), std::end(kPayloadNames));
  names.insert(L"卸载Pandrel.lnk");
  return names;
}

// A recorded folder, top levels included, that does not exist yet.
class RecordedFolder : public InstallerTest, public testing::WithParamInterface<const wchar_t*> {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    top_ = std::wstring(GetParam()).substr(0, std::wstring(GetParam()).find(L'\\', 3));
    forget_installation(top_);
    also_forget(top_);
  }
  std::wstring top_;
};

TEST_P(RecordedFolder, IsOfferedWithoutQuotesAndMadeLevelByLevel) {
  const std::wstring folder = GetParam();
  record_install_location("\"" + narrow(folder) + "\"");
  Session setup;
  ASSERT_TRUE(setup.has_window());
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), folder);
  ASSERT_TRUE(setup.start_quick_install());
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.message_box_report();
  EXPECT_FALSE(driver::wait_for_message_box(setup.process().id(), 0ms).has_value()) << "nothing failed";

  expect_payload_installed(folder);
  EXPECT_EQ(names_in(folder), installed_names());
  const auto values = uninstall_values();
  EXPECT_EQ(values.size(), 1u) << "an installation already recorded is not registered again";
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Missing, RecordedFolder,
                         testing::Values(L"C:\\trellimo-missing\\deeper\\Trellimo", L"C:\\中文目录\\变声器\\Trellimo"));

// Another program holds a product file open without sharing it, as a running copy
// of the product would.
class HeldFile {
 public:
  explicit HeldFile(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldFile() { release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (held()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

using HeldProductFile = InstallerTest;

TEST_F(HeldProductFile, IsNamedToTheUserKeptIntactAndTheRestInstalls) {
  const std::wstring core = in_folder(kDefaultFolder, L"core.7z");
  write_file(core, "the core of the version already installed");
  HeldFile held(core);
  ASSERT_TRUE(held.held());

  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.start_quick_install());
  auto box = driver::wait_for_message_box(setup.process().id(), 30s);
  ASSERT_TRUE(box.has_value()) << "the user must be told";
  EXPECT_EQ(box->caption, L"信息：");
  EXPECT_EQ(box->text, std::wstring(kFilesNotWrittenMessage) + L"\r\ncore.7z");
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kStartButton))) << "told before the finish page";
  dismiss(*box);
  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.message_box_report();
  held.release();

  EXPECT_EQ(read_file(core), "the core of the version already installed");
  for (const wchar_t* name : kPayloadNames) {
    if (std::wstring(name) == L"core.7z") continue;
    SCOPED_TRACE(narrow(name));
    EXPECT_EQ(read_file(in_folder(kDefaultFolder, name)), read_file(in_folder(embedded_payload_folder(), name)));
  }
  EXPECT_EQ(names_in(kDefaultFolder), installed_names()) << "no temporary file left behind";
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
