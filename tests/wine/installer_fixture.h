#pragma once
// What the installer tests share: a machine without the product before and after
// each test, and checks of what an installation left in a folder.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "installed_product.h"
#include "installer_session.h"

namespace installer {

// What the installer tells the user, before the finish page, when product files
// could not be written; each file's name follows on a line of its own.
constexpr wchar_t kFilesNotWrittenMessage[] = L"以下文件未能写入安装目录，请关闭正在使用它们的程序后重新安装：";

class InstallerTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Also removed after the test, with the default folder.
  void also_forget(const std::wstring& folder) { extra_folder_ = folder; }

 private:
  std::wstring extra_folder_;
};

// A product file another program has open, with the sharing it allows others.
class HeldFile {
 public:
  HeldFile(const std::wstring& path, DWORD sharing)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldFile() { release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (held()) CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }
  // Every byte the file has or may have; closing the handle unlocks them.
  bool lock_all_bytes() const {
    OVERLAPPED from_start{};
    return LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &from_start) != FALSE;
  }

 private:
  HANDLE handle_;
};

std::wstring in_folder(const std::wstring& folder, const wchar_t* name);
std::set<std::wstring> names_in(const std::wstring& folder);
// What an installation leaves in its folder: the seven files and the uninstall shortcut.
std::set<std::wstring> installed_names();
// The seven product files in `folder`, each byte for byte what was embedded.
void expect_payload_installed(const std::wstring& folder);
// A shortcut made by the installer to `folder`'s launch.exe.
void expect_shortcut(const std::wstring& file, const std::wstring& folder, const std::wstring& arguments);
// The thirteen values the installer registers for `folder`.
std::map<std::string, RegistryValue> registration_of(const std::string& folder);

// Product files by name, as a folder held them before an installation; a name that
// is missing was no file.
using FileContents = std::map<std::wstring, std::string>;
// An earlier version of the product in `folder`: each of the seven files holds a
// short text of its own. Returns what was laid down.
FileContents lay_down_earlier_version(const std::wstring& folder);

// Clicks the finish page's start button until the installer ends; its exit code.
std::optional<DWORD> start_product(Session& setup);
// What the stand-in launch.exe of `folder` recorded of its start, once it has; empty
// when it did not start within ten seconds.
std::string launch_record_in(const std::wstring& folder);

// The installer's window shown, the quick installation started and the finish page
// reached; otherwise which step failed, with the installation report.
testing::AssertionResult quick_install_finishes(Session& setup);

// How an installation through the window went.
struct Outcome {
  bool finished = false;  // the finish page was shown
  // The installer named files it could not write, before the finish page.
  bool told = false;
  // The message came up owned by the installer window, so in front of it.
  bool told_over_window = false;
  std::set<std::wstring> files_named;
};
// Starts the quick installation and waits for the finish page, answering the
// message about files that could not be written if it comes.
Outcome install_to_finish_page(Session& setup);
// Expects each product file in `folder` to be byte for byte what was embedded or
// still what `before` held (still missing if it was), and the kept ones to be
// exactly those named to the user. Returns how many are neither: files lost.
int expect_each_file_new_or_intact(const std::wstring& folder, const FileContents& before, const Outcome& outcome);

}  // namespace installer
