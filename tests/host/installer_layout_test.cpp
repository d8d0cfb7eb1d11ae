// The installer's window as tplc builds it from app/layout/window.json.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files.h"
#include "font_fields.h"
#include "frame/byte_reader.h"
#include "frame/template_format.h"
#include "tools/template-compiler/gbk_text.h"
#include "units/kind_numbers.h"
#include "units/label_block.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"
#include "units/window_block.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Size {
  int width, height;
  bool operator==(const Size&) const = default;
};

// Width and height from a baseline JPEG's SOF0 segment; {0, 0} when there is none.
Size baseline_jpeg_size(const Bytes& jpeg) {
  size_t at = 2;
  while (at + 9 <= jpeg.size() && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (marker == 0xC0) return {jpeg[at + 7] << 8 | jpeg[at + 8], jpeg[at + 5] << 8 | jpeg[at + 6]};
    at += 2 + length;
  }
  return {0, 0};
}

std::string gbk(const std::string& utf8) { return tplc::utf8_to_gbk(utf8).value(); }

struct ExpectedUnit {
  uint32_t id;
  const char* name;
  uint32_t kind;
  int left, top, width, height;
  bool visible;
  Size picture;  // every picture of the unit has this size
  int pictures;  // how many slots hold one
};

constexpr uint32_t kBox = units::kind::kPictureBox;
constexpr uint32_t kButton = units::kind::kPictureButton;
constexpr uint32_t kLabel = units::kind::kTransparentLabel;

const ExpectedUnit kUnits[] = {
    {0x16010070, "图片框3", kBox, 293, 360, 88, 24, false, {88, 24}, 1},
    {0x1601006F, "button_start", kButton, 260, 416, 160, 50, false, {160, 50}, 3},
    {0x1601006E, "table_installtip", kLabel, 59, 384, 562, 24, false, {}, 0},
    {0x1601005E, "progress_pos", kBox, 59, 412, 0, 12, true, {562, 12}, 1},
    {0x1601005D, "图片框2", kBox, 59, 412, 562, 12, false, {562, 12}, 1},
    {0x16010044, "button_retun", kButton, 360, 423, 140, 34, false, {140, 34}, 3},
    {0x16010043, "button_install", kButton, 520, 423, 140, 42, false, {140, 42}, 3},
    {0x16010041, "透明标签5", kLabel, 156, 428, 108, 24, false, {}, 0},
    {0x16010042, "button_green", kButton, 136, 432, 16, 16, false, {16, 16}, 3},
    {0x1601003F, "透明标签4", kLabel, 36, 428, 84, 24, false, {}, 0},
    {0x16010040, "button_ico", kButton, 16, 432, 16, 16, false, {16, 16}, 3},
    {0x1601003E, "table_installpath", kLabel, 97, 377, 432, 24, false, {}, 0},
    {0x1601003D, "透明标签2", kLabel, 37, 377, 56, 24, false, {}, 0},
    {0x1601003C, "button_browse", kButton, 567, 369, 90, 36, false, {90, 36}, 3},
    {0x1601003B, "图片框1", kBox, 13, 371, 522, 36, false, {522, 36}, 1},
    {0x16010032, "button_custominstall", kButton, 592, 476, 72, 13, false, {72, 13}, 2},
    {0x1601001D, "button_treaty", kButton, 174, 473, 72, 14, false, {72, 14}, 2},
    {0x16010009, "透明标签1", kLabel, 36, 468, 132, 24, false, {}, 0},
    {0x16010008, "button_btreaty", kButton, 16, 472, 16, 16, false, {16, 16}, 3},
    {0x16010006, "button_close", kButton, 654, 10, 16, 16, true, {15, 17}, 3},
    {0x16010004, "button_quickinster", kButton, 260, 344, 160, 50, false, {160, 50}, 3},
};

struct ExpectedLabel {
  uint32_t id;
  const char* caption;
  uint32_t colour;
  const char* face;
  bool precise;  // asks for output precision 3, clip precision 2, quality 1, pitch 0x22
};

const ExpectedLabel kLabels[] = {
    {0x1601006E, "正在安装...", 0xFFFFFF, "微软雅黑", true},
    {0x16010041, "绿色安装", 0xF9C484, "", false},
    {0x1601003F, "创建桌面图标", 0xF9C484, "", false},
    {0x1601003E, "C:\\Program Files (x86)\\Trellimo", 0xFFFFFF, "", false},
    {0x1601003D, "安装位置:", 0xF9C484, "", false},
    {0x16010009, "同意Trellimo法人", 0xF9C484, "微软雅黑", true},
};

class InstallerLayout : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto output = std::filesystem::path(testing::TempDir()) / "installer-window.tpl";
    const std::string command = std::string(TPLC_PATH) + " compile " + INSTALLER_LAYOUT_PATH + " " + output.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    block_ = new Bytes(support::read_bytes(output));
  }
  static void TearDownTestSuite() {
    delete block_;
    block_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(block_, nullptr);
    auto result = frame::read_template(*block_);
    ASSERT_TRUE(result.value) << frame::describe(result.failure.error) << " at " << result.failure.offset;
    templ_ = std::move(*result.value);
    ASSERT_EQ(templ_.windows.size(), 1u);
  }

  const frame::WindowSection& window() const { return templ_.windows[0]; }
  const frame::UnitRecord& record(uint32_t id) const {
    for (const auto& r : window().records)
      if (r.id == id) return r;
    throw std::out_of_range("no such unit");
  }

  static Bytes* block_;
  frame::WindowTemplate templ_;
};

Bytes* InstallerLayout::block_ = nullptr;

TEST_F(InstallerLayout, OneWindowWithItsRecordAndTwentyOneUnits) {
  EXPECT_EQ(window().id, 0x52010001u);
  EXPECT_EQ(window().tag, 1u);
  EXPECT_EQ(window().flags, 0x1901000Du);
  EXPECT_TRUE(window().text1.empty());
  EXPECT_TRUE(window().text2.empty());
  ASSERT_EQ(window().records.size(), 22u);
}

TEST_F(InstallerLayout, RecordsFillTheUnitTableExactly) {
  frame::ByteReader r(*block_);
  r.bytes(12 + 8 + 8);  // directory of one window, tag and flags, two empty texts
  EXPECT_EQ(r.u32(), 22u);
  const uint32_t table_length = r.u32().value();
  auto table = r.slice(table_length);
  ASSERT_TRUE(table);
  EXPECT_EQ(r.remaining(), 0u);
  table->bytes(22 * 4);
  std::vector<uint32_t> offsets;
  for (int i = 0; i < 22; ++i) offsets.push_back(table->u32().value());
  EXPECT_EQ(offsets[0], 0u);
  for (int i = 0; i < 22; ++i) {
    ASSERT_EQ(offsets[i], table_length - table->remaining() - 22 * 8) << "record " << i;
    ASSERT_TRUE(table->counted_bytes());
  }
  EXPECT_EQ(table->remaining(), 0u);
}

TEST_F(InstallerLayout, WindowRecord) {
  const auto& own = window().records[0];
  EXPECT_EQ(own.id, 0x06010000u);
  EXPECT_EQ(own.kind, units::kind::kWindow);
  EXPECT_EQ(own.left, 50);
  EXPECT_EQ(own.top, 50);
  EXPECT_EQ(own.width, 680);
  EXPECT_EQ(own.height, 500);
  EXPECT_EQ(own.flags, 1u);
}

TEST_F(InstallerLayout, WindowKindDataAsTheInstallerStoresIt) {
  frame::ByteReader r(window().records[0].kind_data);
  const std::vector<uint32_t> settings{6, 0, 1, 0xFF000000, 0, 1, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0};
  for (size_t i = 0; i < settings.size(); ++i) EXPECT_EQ(r.u32(), settings[i]) << "word " << i;
  EXPECT_EQ(r.counted_text(), "kowtan");
  const auto background = r.counted_bytes();
  ASSERT_TRUE(background);
  EXPECT_EQ(baseline_jpeg_size(Bytes(background->begin(), background->end())), (Size{680, 500}));
  EXPECT_EQ(r.u32(), 0u);  // icon
  EXPECT_EQ(r.u32(), 0u);  // sound
  EXPECT_EQ(r.counted_text(), gbk("Trellimo安装程序"));
  EXPECT_EQ(r.u32(), 0u);  // help file
  EXPECT_EQ(r.remaining(), 0u);
}

TEST_F(InstallerLayout, UnitsInTemplateOrderWithTheirPlacement) {
  for (size_t i = 0; i < std::size(kUnits); ++i) {
    const auto& expected = kUnits[i];
    const auto& unit = window().records[i + 1];
    SCOPED_TRACE(expected.name);
    EXPECT_EQ(unit.id, expected.id);
    EXPECT_EQ(unit.name, gbk(expected.name));
    EXPECT_EQ(unit.kind, expected.kind);
    EXPECT_EQ(unit.left, expected.left);
    EXPECT_EQ(unit.top, expected.top);
    EXPECT_EQ(unit.width, expected.width);
    EXPECT_EQ(unit.height, expected.height);
    EXPECT_EQ(unit.flags & ~4u, expected.visible ? 1u : 0u);
  }
}

struct ExpectedTabStop {
  uint32_t id;
  uint32_t tab_order;
  const char* tag;
};

// Each page's main action comes first, then the page top to bottom and left to
// right, the close button last; hidden units are skipped, so the orders of all
// pages share one sequence.
const ExpectedTabStop kTabStops[] = {
    {0x16010004, 1, "快速安装"},         {0x16010043, 2, "立即安装"},
    {0x1601006F, 3, "立即体验"},         {0x1601003C, 4, "浏览"},
    {0x16010040, 5, "创建桌面图标"},     {0x16010044, 6, "返回"},
    {0x16010008, 7, "同意用户许可协议"}, {0x1601001D, 8, "用户许可协议"},
    {0x16010032, 9, "自定义安装"},       {0x16010006, 10, "关闭"},
};

const ExpectedTabStop* tab_stop_of(uint32_t id) {
  for (const auto& stop : kTabStops)
    if (stop.id == id) return &stop;
  return nullptr;
}

// Every picture button a page shows is a tab stop named by its tag; no other unit
// is, and no other unit has a tag or a tab order.
TEST_F(InstallerLayout, ShownButtonsAreTabStopsInReadingOrderNamedByTheirTags) {
  size_t stops = 0;
  for (const auto& unit : window().records) {
    SCOPED_TRACE(unit.name);
    const ExpectedTabStop* expected = tab_stop_of(unit.id);
    EXPECT_EQ(unit.tab_stop(), expected != nullptr);
    EXPECT_EQ(unit.tab_order, expected != nullptr ? expected->tab_order : 0u);
    EXPECT_EQ(unit.tag, expected != nullptr ? gbk(expected->tag) : std::string());
    if (expected == nullptr) continue;
    EXPECT_EQ(unit.kind, kButton);
    ++stops;
  }
  EXPECT_EQ(stops, std::size(kTabStops));
}

TEST_F(InstallerLayout, NoUnitUsesTheFieldsTheInstallerLeavesEmpty) {
  for (const auto& unit : window().records) {
    EXPECT_EQ(unit.link, 0u);
    EXPECT_EQ(unit.parent, 0u);
    EXPECT_TRUE(unit.page_list.empty());
    EXPECT_TRUE(unit.cursor_picture.empty());
    EXPECT_TRUE(unit.second_name.empty());
  }
}

// Units raise event 0 on a click; the window binds its creation (event 0) and its
// close query (event 12), which keeps the installer from being closed while it
// writes files.
TEST_F(InstallerLayout, BindingsAreClicksCreationAndCloseQueryEachToItsOwnHandler) {
  std::vector<uint32_t> offsets;
  const auto& records = window().records;
  ASSERT_EQ(records[0].bindings.size(), 2u);
  EXPECT_EQ(records[0].bindings[0].event, 0u);
  EXPECT_EQ(records[0].bindings[1].event, 12u);
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(records[i].name);
    for (const frame::EventBinding& binding : records[i].bindings) {
      if (i != 0) {
        EXPECT_EQ(binding.event, 0u);
      }
      EXPECT_EQ(binding.handler_offset % 8, 0u);
      offsets.push_back(binding.handler_offset);
    }
  }
  std::sort(offsets.begin(), offsets.end());
  EXPECT_EQ(std::adjacent_find(offsets.begin(), offsets.end()), offsets.end()) << "two units share a handler";
}

std::vector<Bytes> pictures_of(const frame::UnitRecord& unit) {
  if (unit.kind == units::kind::kPictureBox) return {units::decode_picture_box_block(unit.kind_data).value().picture};
  if (unit.kind == units::kind::kPictureButton) {
    const auto pictures = units::decode_picture_button_block(unit.kind_data).value().pictures;
    return {pictures.begin(), pictures.end()};
  }
  return {};
}

TEST_F(InstallerLayout, PicturesAreBaselineJpegsOfTheirSlotSize) {
  for (size_t i = 0; i < std::size(kUnits); ++i) {
    const auto& expected = kUnits[i];
    SCOPED_TRACE(expected.name);
    const auto pictures = pictures_of(window().records[i + 1]);
    int filled = 0;
    for (const auto& picture : pictures) {
      if (picture.empty()) continue;
      ++filled;
      EXPECT_EQ(baseline_jpeg_size(picture), expected.picture);
    }
    EXPECT_EQ(filled, expected.pictures);
    if (expected.kind == kButton) {
      EXPECT_TRUE(pictures[units::kDisabledPicture].empty());
    }
  }
}

TEST_F(InstallerLayout, PictureBoxBlocksAsTheInstallerStoresThem) {
  for (const auto& unit : window().records) {
    if (unit.kind != units::kind::kPictureBox) continue;
    frame::ByteReader r(unit.kind_data);
    for (uint32_t word : {2u, 0u, 0u, 0xFF000000u, 1u}) EXPECT_EQ(r.u32(), word);
    ASSERT_TRUE(r.counted_bytes());
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_EQ(r.remaining(), 0u);
  }
}

TEST_F(InstallerLayout, PictureButtonBlocksAsTheInstallerStoresThem) {
  for (const auto& unit : window().records) {
    if (unit.kind != units::kind::kPictureButton) continue;
    frame::ByteReader r(unit.kind_data);
    for (uint32_t word : {1u, 0u, 0u, 0xFF000000u}) EXPECT_EQ(r.u32(), word);
    for (int slot = 0; slot < 4; ++slot) ASSERT_TRUE(r.counted_bytes());
    EXPECT_EQ(r.remaining(), 0u);
  }
}

TEST_F(InstallerLayout, LabelsCarryTheirCaptionColourAndFont) {
  for (const auto& expected : kLabels) {
    SCOPED_TRACE(expected.caption);
    const auto label = units::decode_label_block(record(expected.id).kind_data);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text, gbk(expected.caption));
    EXPECT_EQ(label->text_colour, expected.colour);
    ASSERT_TRUE(label->font);
    const bool precise = expected.precise;
    EXPECT_EQ(support::font_fields(*label->font),
              (support::FontFields{-12, 700, 0, 134, precise ? 3 : 0, precise ? 2 : 0, precise ? 1 : 0,
                                   precise ? 0x22 : 0, gbk(expected.face)}));
  }
}

TEST_F(InstallerLayout, DumpListsEveryRecord) {
  const auto output = std::filesystem::path(testing::TempDir()) / "installer-window.json";
  const auto tpl = std::filesystem::path(testing::TempDir()) / "installer-window.tpl";
  const std::string command = std::string(TPLC_PATH) + " dump " + tpl.string() + " > " + output.string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  const auto dump = nlohmann::json::parse(support::read_text(output));
  const auto& records = dump.at("windows").at(0).at("records");
  ASSERT_EQ(records.size(), 22u);
  EXPECT_EQ(records[0].at("properties").at("title"), "Trellimo安装程序");
  EXPECT_EQ(records[21].at("name"), "button_quickinster");
  EXPECT_EQ(records[21].at("pictures").at("normal").at("format"), "jpeg");
}

}  // namespace
