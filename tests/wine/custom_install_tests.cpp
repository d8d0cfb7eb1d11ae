// The custom-install page driven with the real mouse: its toggles, the way back, and
// the folder chosen in the shell's own folder dialog, also while an installation
// runs behind it.
#include <filesystem>

#include "files.h"
#include "folder_dialog.h"
#include "installer_fixture.h"

namespace installer {
namespace {

constexpr wchar_t kChoiceParent[] = L"C:\\trellimo-choice";
constexpr wchar_t kChosenFolder[] = L"C:\\trellimo-choice\\Trellimo";
// Thai: a folder name GBK has no characters for.
constexpr wchar_t kFolderOutsideGbk[] = L"C:\\trellimo-choice\\\x0E01\x0E02";
constexpr wchar_t kFolderNotUsableMessage[] = L"所选文件夹的路径含有本安装程序无法使用的字符，请选择其他文件夹。";
constexpr char kConfigWithUser[] = "[main]\r\nskin=dark\r\n[user]\r\nname=someone\r\n";
constexpr char kConfigWithoutUser[] = "[main]\r\nskin=dark\r\n";

bool open_custom_page(Session& setup) {
  return setup.wait_until_shown(Unit::kCustomInstallButton) && setup.click_until_hidden(Unit::kCustomInstallButton) &&
         setup.wait_until_shown(Unit::kInstallButton);
}

// Goes to the custom page and clicks the browse button until the installer's folder
// dialog appears.
std::optional<HWND> open_folder_dialog(Session& setup) {
  if (!setup.has_window() || !open_custom_page(setup)) return std::nullopt;
  for (int attempt = 0; attempt < 3; ++attempt) {
    driver::click(setup.unit(Unit::kBrowseButton));
    if (HWND dialog = driver::wait_for_window(setup.process().id(), L"#32770", 5s)) return dialog;
  }
  return std::nullopt;
}

// The install button of the custom page clicked and the finish page reached;
// otherwise which step failed, with the installation report.
testing::AssertionResult install_from_custom_page(Session& setup) {
  if (!setup.click_until_hidden(Unit::kInstallButton))
    return testing::AssertionFailure() << "the install button stayed";
  if (!setup.wait_for_finish_page())
    return testing::AssertionFailure() << "no finish page: " << setup.installation_report();
  return testing::AssertionSuccess();
}

bool shows_text(HWND dialog, const std::wstring& text) {
  for (HWND child : driver::child_windows(dialog)) {
    if (driver::window_text(child) == text) return true;
  }
  return false;
}

bool wait_until_closed(HWND dialog) {
  for (int wait = 0; wait < 100 && IsWindow(dialog); ++wait) Sleep(50);
  return !IsWindow(dialog);
}

class CustomInstall : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    also_forget(kChoiceParent);
  }
};

TEST_F(CustomInstall, ThePageComesAndGoesAndItsChoicesHold) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(open_custom_page(setup));
  EXPECT_TRUE(IsWindowVisible(setup.unit(Unit::kAgreeToggle))) << "the agreement row stays";
  EXPECT_TRUE(setup.wait_for_tick(Unit::kDesktopIconToggle, true, 5s)) << "the desktop shortcut starts chosen";
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), kDefaultFolder);
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kPortableToggle)));

  ASSERT_TRUE(setup.click_until_hidden(Unit::kReturnButton));
  EXPECT_TRUE(setup.wait_until_shown(Unit::kQuickInstallButton));
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kFolderFrame)));
  ASSERT_TRUE(open_custom_page(setup));

  // Without the desktop shortcut and without the agreement, this page still installs.
  ASSERT_TRUE(setup.click_toggle_until(Unit::kDesktopIconToggle, false));
  ASSERT_TRUE(setup.click_toggle_until(Unit::kAgreeToggle, false));
  ASSERT_TRUE(install_from_custom_page(setup));
  expect_payload_installed(kDefaultFolder);
  expect_shortcut(in_folder(kDefaultFolder, L"卸载Pandrel.lnk"), kDefaultFolder, L"--uninst");
  EXPECT_FALSE(file_exists(desktop_folder() + L"\\Trellimo.lnk"));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(CustomInstall, AFolderChosenInTheDialogGetsTheProductsOwnFolder) {
  std::filesystem::create_directories(std::filesystem::path(kChoiceParent));
  Session setup;
  const auto dialog = open_folder_dialog(setup);
  ASSERT_TRUE(dialog.has_value()) << "no folder dialog on the custom page";
  EXPECT_TRUE(shows_text(*dialog, L"从下面选文件夹目录:")) << "the dialog's title line";

  driver::FolderDialog chooser(*dialog, setup.process().id());
  ASSERT_TRUE(chooser.select({L"(C:)", L"trellimo-choice"}));
  chooser.confirm();
  ASSERT_TRUE(wait_until_closed(*dialog));
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), kChosenFolder);

  ASSERT_TRUE(install_from_custom_page(setup));
  expect_payload_installed(kChosenFolder);
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kChosenFolder)));
  EXPECT_FALSE(file_exists(kDefaultFolder));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// The dialog has no owner, so the window behind it still answers: an installation
// started there keeps the folder it started with, whatever the dialog says after.
TEST_F(CustomInstall, AFolderConfirmedAfterTheInstallationStartedIsIgnored) {
  write_file(in_folder(kDefaultFolder, L"Config.ini"), kConfigWithUser);
  write_file(in_folder(kChosenFolder, L"Config.ini"), kConfigWithUser);
  Session setup;
  const auto dialog = open_folder_dialog(setup);
  ASSERT_TRUE(dialog.has_value()) << "no folder dialog on the custom page";
  driver::FolderDialog chooser(*dialog, setup.process().id());
  ASSERT_TRUE(chooser.select({L"(C:)", L"trellimo-choice"}));

  ASSERT_TRUE(driver::bring_to_foreground(setup.window()));
  ASSERT_TRUE(setup.click_until_hidden(Unit::kInstallButton)) << "the window behind the dialog answers";
  ASSERT_TRUE(driver::bring_to_foreground(*dialog));
  chooser.confirm();
  ASSERT_TRUE(wait_until_closed(*dialog));
  EXPECT_FALSE(IsWindowVisible(setup.unit(Unit::kStartButton))) << "confirmed while the installation ran";

  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), kDefaultFolder);
  expect_payload_installed(kDefaultFolder);
  expect_shortcut(in_folder(kDefaultFolder, L"卸载Pandrel.lnk"), kDefaultFolder, L"--uninst");
  EXPECT_EQ(names_in(kChosenFolder), std::set<std::wstring>{L"Config.ini"});
  EXPECT_EQ(support::read_file(in_folder(kDefaultFolder, L"Config.ini")), kConfigWithoutUser);
  EXPECT_EQ(support::read_file(in_folder(kChosenFolder, L"Config.ini")), kConfigWithUser);
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
  EXPECT_EQ(start_product(setup), std::optional<DWORD>(0));
  EXPECT_EQ(launch_record_in(kDefaultFolder).rfind("arguments=[] folder=[", 0), 0u);
}

// Converted to GBK, the path would name another folder: the choice is refused.
TEST_F(CustomInstall, AFolderWhosePathGbkCannotHoldIsRefusedWithAMessage) {
  ASSERT_TRUE(std::filesystem::create_directories(std::filesystem::path(kFolderOutsideGbk)));
  Session setup;
  const auto dialog = open_folder_dialog(setup);
  ASSERT_TRUE(dialog.has_value()) << "no folder dialog on the custom page";
  driver::FolderDialog chooser(*dialog, setup.process().id());
  ASSERT_TRUE(chooser.select({L"(C:)", L"trellimo-choice", L"\x0E01\x0E02"}));
  chooser.confirm();
  const auto box = driver::wait_for_message_box_saying(setup.process().id(), kFolderNotUsableMessage, 10s);
  ASSERT_TRUE(box.has_value()) << "no message about the folder";
  EXPECT_EQ(box->caption, L"信息：");
  dismiss(*box);
  ASSERT_TRUE(wait_until_closed(*dialog));
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), kDefaultFolder);

  ASSERT_TRUE(install_from_custom_page(setup));
  expect_payload_installed(kDefaultFolder);
  EXPECT_EQ(names_in(kFolderOutsideGbk), std::set<std::wstring>{});
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

TEST_F(CustomInstall, CancellingTheFolderDialogChangesNothing) {
  Session setup;
  const auto dialog = open_folder_dialog(setup);
  ASSERT_TRUE(dialog.has_value()) << "no folder dialog on the custom page";
  driver::FolderDialog chooser(*dialog, setup.process().id());
  ASSERT_TRUE(chooser.select({L"(C:)"}));
  chooser.cancel();
  ASSERT_TRUE(wait_until_closed(*dialog));
  EXPECT_EQ(setup.text_of(Unit::kFolderLabel), kDefaultFolder);

  ASSERT_TRUE(install_from_custom_page(setup));
  expect_payload_installed(kDefaultFolder);
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
