// Layout files in, templates out: bindings, texts, defaults and the errors a layout
// author sees.
#include "tools/template-compiler/layout_compiler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files.h"
#include "frame/template_format.h"
#include "tools/template-compiler/template_dump.h"
#include "tools/template-compiler/unit_header.h"
#include "units/kind_numbers.h"
#include "units/label_block.h"
#include "units/picture_button_block.h"

namespace {

using tplc::Json;
namespace fs = std::filesystem;

class LayoutCompiler : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder_);
    std::ofstream(folder_ / "a.png", std::ios::binary) << "\x89PNG-a";
    std::ofstream(folder_ / "b.jpg", std::ios::binary) << "\xFF\xD8-b";
  }

  // One window record and one picture button, to be adjusted by each test.
  static Json layout() {
    return Json::parse(R"({
          "handlers": ["on_start", "on_click"],
          "window": {
            "id": "0x52010001", "section_tag": 1, "section_flags": "0x1901000D",
            "units": [
              {"id": "0x06010000", "name": "", "kind": "window", "left": 1, "top": 2, "width": 30, "height": 40,
               "visible": true, "bindings": [{"event": 0, "handler": "on_start"}]},
              {"id": "0x16010004", "name": "button_go", "role": "GoButton", "group": 1, "kind": "PicBtn",
               "left": -3, "top": 4, "width": 5, "height": 6, "tab_stop": true,
               "pictures": {"normal": "a.png", "pressed": "b.jpg"},
               "bindings": [{"event": 0, "handler": "on_click"}, {"event": -7, "handler": null}]}
            ]
          }
        })");
  }

  frame::WindowSection compile(const Json& layout_json) {
    block_ = tplc::compile_layout(layout_json, folder_);
    auto result = frame::read_template(block_);
    if (!result.value) throw std::runtime_error(frame::describe(result.failure.error));
    return std::move(result.value->windows.at(0));
  }

  std::string error_of(const Json& layout_json) {
    try {
      tplc::compile_layout(layout_json, folder_);
    } catch (const tools::InputError& e) {
      return e.what();
    }
    return "no error";
  }

  fs::path folder_;
  std::vector<uint8_t> block_;
};

TEST_F(LayoutCompiler, BindingsResolveToEightByteHandlerSlots) {
  const auto window = compile(layout());
  ASSERT_EQ(window.records.size(), 2u);
  ASSERT_EQ(window.records[0].bindings.size(), 1u);
  EXPECT_EQ(window.records[0].bindings[0].handler_offset, 0u);
  const auto& bindings = window.records[1].bindings;
  ASSERT_EQ(bindings.size(), 2u);
  EXPECT_EQ(bindings[0].event, 0u);
  EXPECT_EQ(bindings[0].handler_offset, 8u);
  EXPECT_EQ(static_cast<int32_t>(bindings[1].event), -7);
  EXPECT_EQ(bindings[1].handler_offset, frame::kNoHandler);
}

TEST_F(LayoutCompiler, UnitFieldsAndPicturesLandInTheRecord) {
  const auto window = compile(layout());
  const auto& button = window.records[1];
  EXPECT_EQ(button.id, 0x16010004u);
  EXPECT_EQ(button.kind, units::kind::kPictureButton);
  EXPECT_EQ(button.name, "button_go");
  EXPECT_EQ(button.left, -3);
  EXPECT_EQ(button.flags, 4u);
  const auto block = units::decode_picture_button_block(button.kind_data);
  ASSERT_TRUE(block);
  EXPECT_EQ(std::string(block->pictures[units::kNormalPicture].begin(), block->pictures[units::kNormalPicture].end()),
            "\x89PNG-a");
  EXPECT_TRUE(block->pictures[units::kHoverPicture].empty());
  EXPECT_EQ(block->pictures[units::kPressedPicture].size(), 4u);
  EXPECT_EQ(block->colour_key, units::kNoColourKey);
}

TEST_F(LayoutCompiler, TextsAreStoredAsGbk) {
  Json l = layout();
  l["window"]["units"][1] = Json::parse(R"({"id": "0x16010009", "name": "透明标签1", "kind": "TransLabel",
        "left": 0, "top": 0, "width": 10, "height": 10,
        "properties": {"text": "安装", "text_colour": "0x00F9C484",
                       "font": {"height": -12, "weight": 700, "charset": 134, "face": "微软雅黑"}}})");
  const auto window = compile(l);
  EXPECT_EQ(window.records[1].name,
            "\xCD\xB8\xC3\xF7\xB1\xEA\xC7\xA9"
            "1");
  const auto label = units::decode_label_block(window.records[1].kind_data);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->text, "\xB0\xB2\xD7\xB0");
  EXPECT_EQ(label->text_colour, 0xF9C484u);
  ASSERT_TRUE(label->font);
  EXPECT_STREQ(label->font->lfFaceName, "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA");
  EXPECT_EQ(label->font->lfHeight, -12);
}

TEST_F(LayoutCompiler, EmptyHandlersAndNoBindingsAreAllowed) {
  Json l = layout();
  l["handlers"] = Json::array();
  for (Json& unit : l["window"]["units"]) unit.erase("bindings");
  const auto window = compile(l);
  EXPECT_TRUE(window.records[0].bindings.empty());
  EXPECT_TRUE(window.records[1].bindings.empty());
}

TEST_F(LayoutCompiler, ErrorsNameTheUnitAndField) {
  const struct {
    const char* expected;
    void (*damage)(Json& units);
  } cases[] = {
      {"unit 0x16010004 (button_go), field \"pictures.hover\": cannot read",
       [](Json& units) { units[1]["pictures"]["hover"] = "missing.jpg"; }},
      {"field \"bindings.handler\": not in the handlers list",
       [](Json& units) { units[1]["bindings"][0]["handler"] = "on_nothing"; }},
      {"field \"visble\": unknown field", [](Json& units) { units[1]["visble"] = true; }},
      {"field \"properties.colour\": not a property",
       [](Json& units) {
         units[1]["properties"] = {{"colour", 1}};
       }},
      {"field \"pictures.normla\": not a picture slot", [](Json& units) { units[1]["pictures"]["normla"] = "a.png"; }},
      {"field \"left\": must be an integer", [](Json& units) { units[1]["left"] = "left"; }},
      {"field \"width\": out of range", [](Json& units) { units[1]["width"] = 0x80000000LL; }},
      {"field \"kind\": unknown kind", [](Json& units) { units[1]["kind"] = "Slider"; }},
      {"field \"id\": used twice", [](Json& units) { units[1]["id"] = "0x06010000"; }},
      {"the window record comes first", [](Json& units) { std::swap(units[0], units[1]); }},
  };
  for (const auto& c : cases) {
    Json l = layout();
    c.damage(l["window"]["units"]);
    const std::string error = error_of(l);
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
  }
}

// A template of several windows, with what the installer's window never holds: a
// menu item, a container's pages and a unit of another library's kind.
TEST_F(LayoutCompiler, SeveralWindowsWithMenuItemsPagesAndKindsOfOtherLibraries) {
  Json l = layout();
  Json second = l["window"];
  second["id"] = "0x52010002";
  second["units"][1] = Json::parse(R"({"id": "0x26010003", "name": "menu_open", "kind": "MenuItem",
        "text": "打开", "handler": "on_click"})");
  second["units"].push_back(Json::parse(R"({"id": "0x16010005", "name": "box", "kind": "0x00030001",
        "kind_data": "0100000002", "left": 0, "top": 0, "width": 9, "height": 9,
        "pages": [["0x16010006", "0x16010007"], [], ["0x16010008"]]})"));
  l["windows"] = Json::array({l["window"], second});
  l.erase("window");
  block_ = tplc::compile_layout(l, folder_);
  const auto result = frame::read_template(block_);
  ASSERT_TRUE(result.value) << frame::describe(result.failure.error);
  ASSERT_EQ(result.value->windows.size(), 2u);
  EXPECT_EQ(result.value->windows[0].id, 0x52010001u);
  const auto& records = result.value->windows[1].records;
  EXPECT_EQ(result.value->windows[1].id, 0x52010002u);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_TRUE(records[1].is_menu_item());
  EXPECT_EQ(records[1].kind, units::kind::kMenuItem);
  EXPECT_EQ(records[1].menu_text, "\xB4\xF2\xBF\xAA");
  EXPECT_EQ(records[1].menu_handler_offset, 8u);
  EXPECT_EQ(records[2].kind, 0x00030001u);
  EXPECT_EQ(std::vector<uint8_t>(records[2].kind_data.begin(), records[2].kind_data.end()),
            (std::vector<uint8_t>{1, 0, 0, 0, 2}));
  EXPECT_EQ(records[2].page_list, (std::vector<uint32_t>{0x16010006, 0x16010007, 0, 0, 0x16010008}));
}

TEST_F(LayoutCompiler, WindowsListErrors) {
  Json both = layout();
  both["windows"] = Json::array({both["window"]});
  EXPECT_NE(error_of(both).find("give either window or windows"), std::string::npos) << error_of(both);
  Json twice = layout();
  twice["windows"] = Json::array({twice["window"], twice["window"]});
  twice.erase("window");
  EXPECT_NE(error_of(twice).find("field \"id\": used twice"), std::string::npos) << error_of(twice);
  Json menu_kind = layout();
  menu_kind["window"]["units"][1]["id"] = "0x26010004";
  EXPECT_NE(error_of(menu_kind).find("menu items, and only they"), std::string::npos) << error_of(menu_kind);
  Json odd_data = layout();
  odd_data["window"]["units"][1]["kind_data"] = "ABC";
  EXPECT_NE(error_of(odd_data).find("hex digits"), std::string::npos) << error_of(odd_data);
}

TEST_F(LayoutCompiler, DumpDescribesWhatWasCompiled) {
  const auto window = compile(layout());
  frame::WindowTemplate templ;
  templ.windows.push_back(window);
  const Json dump = tplc::dump_template(templ);
  const Json& button = dump["windows"][0]["records"][1];
  EXPECT_EQ(button["kind"], "PicBtn");
  EXPECT_EQ(button["tab_stop"], true);
  EXPECT_EQ(button["bindings"][0]["handler"], "0x00000008");
  EXPECT_EQ(button["bindings"][1]["event"], -7);
  EXPECT_TRUE(button["bindings"][1]["handler"].is_null());
  EXPECT_EQ(button["pictures"]["normal"]["format"], "png");
  EXPECT_EQ(button["pictures"]["pressed"]["format"], "jpeg");
  EXPECT_TRUE(button["pictures"]["hover"].is_null());
  EXPECT_EQ(button["properties"]["colour_key"], "0xFF000000");
}

int run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(LayoutCompiler, ToolReportsALayoutErrorInOneLineAndExitsOne) {
  Json l = layout();
  l["window"]["units"][1]["pictures"]["hover"] = "missing.jpg";
  std::ofstream(folder_ / "layout.json") << l.dump();
  const fs::path errors = folder_ / "errors.txt";
  const int code = run(std::string(TPLC_PATH) + " compile " + (folder_ / "layout.json").string() + " " +
                       (folder_ / "out.tpl").string() + " 2> " + errors.string());
  EXPECT_EQ(code, 1);
  const std::string message = support::read_text(errors);
  EXPECT_NE(message.find("button_go"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

TEST_F(LayoutCompiler, ToolReportsWhereACorruptTemplateBreaks) {
  std::ofstream(folder_ / "bad.tpl", std::ios::binary) << std::string("\x0C\0\0\0", 4);
  const fs::path errors = folder_ / "errors.txt";
  const int code =
      run(std::string(TPLC_PATH) + " dump " + (folder_ / "bad.tpl").string() + " > /dev/null 2> " + errors.string());
  EXPECT_EQ(code, 1);
  EXPECT_NE(support::read_text(errors).find("offset 0: window directory length is not a multiple of 8"),
            std::string::npos)
      << support::read_text(errors);
}

// The ids by role that the installer's code includes: the window's id under the
// window record's role, each unit with a role under it, units without one left out.
TEST_F(LayoutCompiler, UnitHeaderNamesTheWindowAndUnitsByRole) {
  Json with_roles = layout();
  with_roles["window"]["units"][0]["role"] = "MainWindow";
  with_roles["window"]["units"].push_back(Json::parse(
      R"({"id": "0x16010005", "name": "x", "kind": "PicBox", "left": 0, "top": 0, "width": 1, "height": 1})"));
  EXPECT_EQ(tplc::unit_header(with_roles, "app"),
            "// Written by tplc from the layout's roles: the window and its units by role.\n"
            "#pragma once\n\n#include <cstdint>\n\nnamespace app {\n\n"
            "constexpr uint32_t kMainWindow = 0x52010001;\n\n"
            "namespace unit {\nconstexpr uint32_t kGoButton = 0x16010004;\n}  // namespace unit\n\n"
            "}  // namespace app\n");
}

TEST_F(LayoutCompiler, UnitHeaderRefusesARoleGivenTwiceOrNotAName) {
  Json twice = layout();
  twice["window"]["units"][0]["role"] = "GoButton";
  EXPECT_THROW(tplc::unit_header(twice, "app"), tools::InputError);
  Json not_a_name = layout();
  not_a_name["window"]["units"][1]["role"] = "Go Button";
  EXPECT_THROW(tplc::unit_header(not_a_name, "app"), tools::InputError);
}

}  // namespace
