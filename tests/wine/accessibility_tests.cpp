// The installer as a screen reader sees it: every unit a page shows asked through
// AccessibleObjectFromWindow for its name, role, state and value, from this
// process, as a reader asks from its own.
#include <windows.h>
// After windows.h, which they need.
#include <oleacc.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "installer_fixture.h"
#include "services/com_owners.h"

namespace installer {
namespace {

using services::com_ptr;

struct Answers {
  std::wstring name;
  LONG role = 0;
  LONG state = 0;
  std::optional<std::wstring> value;  // none when the unit has no value
};

struct Expected {
  LONG role;
  const wchar_t* name;  // null: the unit's window text, whatever it shows
};

const std::map<Unit, Expected> kExpected = {
    {Unit::kStartBadge, {ROLE_SYSTEM_GRAPHIC, L""}},
    {Unit::kStartButton, {ROLE_SYSTEM_PUSHBUTTON, L"立即体验"}},
    {Unit::kStatusLabel, {ROLE_SYSTEM_STATICTEXT, nullptr}},
    {Unit::kProgressFill, {ROLE_SYSTEM_PROGRESSBAR, L""}},
    {Unit::kProgressTrack, {ROLE_SYSTEM_GRAPHIC, L""}},
    {Unit::kReturnButton, {ROLE_SYSTEM_PUSHBUTTON, L"返回"}},
    {Unit::kInstallButton, {ROLE_SYSTEM_PUSHBUTTON, L"立即安装"}},
    {Unit::kDesktopIconLabel, {ROLE_SYSTEM_STATICTEXT, L"创建桌面图标"}},
    {Unit::kDesktopIconToggle, {ROLE_SYSTEM_CHECKBUTTON, L"创建桌面图标"}},
    {Unit::kFolderLabel, {ROLE_SYSTEM_STATICTEXT, kDefaultFolder}},
    {Unit::kFolderCaption, {ROLE_SYSTEM_STATICTEXT, L"安装位置:"}},
    {Unit::kBrowseButton, {ROLE_SYSTEM_PUSHBUTTON, L"浏览"}},
    {Unit::kFolderFrame, {ROLE_SYSTEM_GRAPHIC, L""}},
    {Unit::kCustomInstallButton, {ROLE_SYSTEM_PUSHBUTTON, L"自定义安装"}},
    {Unit::kAgreementLink, {ROLE_SYSTEM_PUSHBUTTON, L"用户许可协议"}},
    {Unit::kAgreementLabel, {ROLE_SYSTEM_STATICTEXT, L"同意Trellimo法人"}},
    {Unit::kAgreeToggle, {ROLE_SYSTEM_CHECKBUTTON, L"同意用户许可协议"}},
    {Unit::kCloseButton, {ROLE_SYSTEM_PUSHBUTTON, L"关闭"}},
    {Unit::kQuickInstallButton, {ROLE_SYSTEM_PUSHBUTTON, L"快速安装"}},
};

const VARIANT kSelf = [] {
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}();

com_ptr<IAccessible> client_object(HWND hwnd) {
  com_ptr<IAccessible> object;
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible, object.put_void()))) return {};
  return object;
}

// A text the object is asked for through `question`: a name, a value, an action.
// S_FALSE is an answer of no text. The string is freed either way.
template <typename Question>
std::optional<std::wstring> text_answer(Question question) {
  BSTR text = nullptr;
  const HRESULT result = question(&text);
  std::optional<std::wstring> answer;
  if (result == S_OK) answer = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return answer;
}

LONG number_answer(HRESULT result, const services::Variant& answer) {
  return SUCCEEDED(result) && answer.get()->vt == VT_I4 ? answer.get()->lVal : -1;
}

std::optional<Answers> ask(HWND hwnd) {
  const com_ptr<IAccessible> object = client_object(hwnd);
  if (!object) return std::nullopt;
  Answers answers;
  answers.name = text_answer([&](BSTR* text) { return object->get_accName(kSelf, text); }).value_or(L"");
  services::Variant role;
  answers.role = number_answer(object->get_accRole(kSelf, role.get()), role);
  services::Variant state;
  answers.state = number_answer(object->get_accState(kSelf, state.get()), state);
  answers.value = text_answer([&](BSTR* text) { return object->get_accValue(kSelf, text); });
  return answers;
}

// The units a page shows, each asked and checked against the table; the answers by unit.
std::map<Unit, Answers> expect_visible_units_answer(const Session& setup, const std::string& page) {
  SCOPED_TRACE(page);
  std::map<Unit, Answers> all;
  for (int number = 1; number <= kUnitCount; ++number) {
    const auto unit = static_cast<Unit>(number);
    if (!IsWindowVisible(setup.unit(unit))) continue;
    SCOPED_TRACE("unit " + std::to_string(number));
    // The status line may change while it is asked.
    const std::wstring text_before = setup.text_of(unit);
    const auto answers = ask(setup.unit(unit));
    const std::wstring text_after = setup.text_of(unit);
    const auto expected = kExpected.find(unit);
    if (!answers || expected == kExpected.end()) {
      ADD_FAILURE() << (answers ? "a unit no page shows is shown" : "no accessible object");
      continue;
    }
    EXPECT_EQ(answers->role, expected->second.role);
    if (expected->second.name != nullptr) {
      EXPECT_EQ(answers->name, expected->second.name);
    } else {
      EXPECT_TRUE(answers->name == text_before || answers->name == text_after) << narrow(answers->name);
      EXPECT_FALSE(answers->name.empty());
    }
    EXPECT_EQ(answers->state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE), 0);
    const bool button = answers->role == ROLE_SYSTEM_PUSHBUTTON || answers->role == ROLE_SYSTEM_CHECKBUTTON;
    EXPECT_EQ((answers->state & STATE_SYSTEM_FOCUSABLE) != 0, button) << "buttons, and only they, take the focus";
    EXPECT_EQ((answers->state & STATE_SYSTEM_FOCUSED) != 0, setup.focus() == setup.unit(unit));
    EXPECT_EQ(answers->value.has_value(), answers->role == ROLE_SYSTEM_PROGRESSBAR) << "only progress has a value";
    all[unit] = *answers;
  }
  return all;
}

bool checked(const Answers& answers) { return (answers.state & STATE_SYSTEM_CHECKED) != 0; }

// "N%" for a fill `width` pixels wide of the 562 of its picture.
std::wstring percent_of(int width) { return std::to_wstring((width * 100 + 281) / 562) + L"%"; }

class Accessibility : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  }
  void TearDown() override {
    CoUninitialize();
    InstallerTest::TearDown();
  }
};

TEST_F(Accessibility, EveryUnitOfTheFirstAndCustomPagesHasItsNameRoleAndState) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.wait_for_first_page());
  auto first = expect_visible_units_answer(setup, "first page");
  EXPECT_EQ(first.size(), 6u) << "the close button, two buttons and the agreement row";
  const auto empty_fill = ask(setup.unit(Unit::kProgressFill));
  ASSERT_TRUE(empty_fill);
  EXPECT_EQ(empty_fill->value, std::optional<std::wstring>(L"0%")) << "hidden, and not begun";
  EXPECT_NE(empty_fill->state & STATE_SYSTEM_INVISIBLE, 0);
  EXPECT_TRUE(checked(first[Unit::kAgreeToggle]));
  EXPECT_TRUE(first[Unit::kQuickInstallButton].state & STATE_SYSTEM_FOCUSED);

  // The reader's default action presses the button as a click does.
  const com_ptr<IAccessible> custom_install = client_object(setup.unit(Unit::kCustomInstallButton));
  ASSERT_TRUE(custom_install);
  EXPECT_EQ(text_answer([&](BSTR* action) { return custom_install->get_accDefaultAction(kSelf, action); }),
            std::wstring(L"按下"));
  ASSERT_HRESULT_SUCCEEDED(custom_install->accDoDefaultAction(kSelf));
  ASSERT_TRUE(setup.wait_until_shown(Unit::kInstallButton));
  ASSERT_TRUE(setup.wait_for_tick(Unit::kDesktopIconToggle, true, 5s));

  auto custom = expect_visible_units_answer(setup, "custom page");
  EXPECT_EQ(custom.size(), 12u);
  EXPECT_TRUE(checked(custom[Unit::kDesktopIconToggle]));
  ASSERT_TRUE(setup.click_toggle_until(Unit::kDesktopIconToggle, false));
  const auto unticked = ask(setup.unit(Unit::kDesktopIconToggle));
  ASSERT_TRUE(unticked);
  EXPECT_FALSE(checked(*unticked)) << "the check box follows the option";
  EXPECT_EQ(unticked->role, ROLE_SYSTEM_CHECKBUTTON);
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

// The progress bar's value, read while the installation runs, follows the fill:
// rising, each reading the fill's width in percent, 100% at the end.
TEST_F(Accessibility, TheProgressBarTellsHowFarTheInstallationHasCome) {
  Session setup;
  ASSERT_TRUE(setup.has_window());
  ASSERT_TRUE(setup.start_quick_install());
  ASSERT_TRUE(setup.wait_until_shown(Unit::kProgressTrack));
  EXPECT_EQ(expect_visible_units_answer(setup, "installing page").size(), 4u) << "progress, status and close";

  const com_ptr<IAccessible> progress = client_object(setup.unit(Unit::kProgressFill));
  ASSERT_TRUE(progress);
  std::vector<int> percents;
  size_t agreeing_readings = 0;
  while (IsWindowVisible(setup.unit(Unit::kProgressTrack))) {
    const int width_before = setup.width_of(Unit::kProgressFill);
    const auto value = text_answer([&](BSTR* text) { return progress->get_accValue(kSelf, text); });
    const int width_after = setup.width_of(Unit::kProgressFill);
    ASSERT_TRUE(value.has_value());
    ASSERT_TRUE(!value->empty() && value->back() == L'%') << narrow(*value);
    if (width_before == width_after) {
      EXPECT_EQ(*value, percent_of(width_before));
      ++agreeing_readings;
    }
    const int percent = std::stoi(*value);
    if (percents.empty() || percents.back() != percent) percents.push_back(percent);
    Sleep(20);
  }
  EXPECT_GT(agreeing_readings, 0u);
  EXPECT_GE(percents.size(), 3u) << "several steps seen on the way";
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_TRUE(std::all_of(percents.begin(), percents.end(), [](int p) { return p >= 0 && p <= 100; }));

  ASSERT_TRUE(setup.wait_for_finish_page()) << setup.installation_report();
  const auto finished = ask(setup.unit(Unit::kProgressFill));
  ASSERT_TRUE(finished);
  EXPECT_EQ(finished->value, std::optional<std::wstring>(L"100%"));
  EXPECT_NE(finished->state & STATE_SYSTEM_INVISIBLE, 0) << "the fill is hidden with its page";
  auto finish = expect_visible_units_answer(setup, "finish page");
  EXPECT_EQ(finish.size(), 3u) << "the badge, the start button and the close button";
  EXPECT_TRUE(setup.wait_for_focus(Unit::kStartButton));
  EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace installer
