#pragma once
// What the installer tests share: a machine without the product before and after
// each test, and checks of what an installation left in a folder.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "installed_product.h"
#include "installer_session.h"

namespace installer {

// GBK, as the installer writes paths into the registry.
std::string narrow(const std::wstring& text);

class InstallerTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Also removed after the test, with the default folder.
  void also_forget(const std::wstring& folder) { extra_folder_ = folder; }

 private:
  std::wstring extra_folder_;
};

std::wstring in_folder(const std::wstring& folder, const wchar_t* name);
// The seven product files in `folder`, each byte for byte what was embedded.
void expect_payload_installed(const std::wstring& folder);
// A shortcut made by the installer to `folder`'s launch.exe.
void expect_shortcut(const std::wstring& file, const std::wstring& folder, const std::wstring& arguments);
// The thirteen values the installer registers for `folder`.
std::map<std::string, RegistryValue> registration_of(const std::string& folder);

}  // namespace installer
