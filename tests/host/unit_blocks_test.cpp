#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "font_fields.h"
#include "frame/byte_reader.h"
#include "units/com_object_block.h"
#include "units/label_block.h"
#include "units/picture_box_block.h"
#include "units/picture_button_block.h"
#include "units/window_block.h"

namespace {

using frame::ByteWriter;
using Bytes = std::vector<uint8_t>;

const std::string kDefaultLabelText = "\xCD\xB8\xC3\xF7\xB1\xEA\xC7\xA9";  // "透明标签" in GBK

// ---- window ---------------------------------------------------------------

// Every field set away from its default, with the fields `version` has.
Bytes window_block(uint32_t version) {
  ByteWriter w;
  w.u32(version);
  for (uint32_t word : {5u, 3u, 0x00123456u, 1u, 0u, 0u, 3u, 0u, 2u, 1u, 0u, 1u, 77u}) w.u32(word);
  if (version >= 2) w.u32(0);   // show in taskbar
  if (version >= 3) w.u32(1);   // drag anywhere
  if (version >= 3) w.u32(29);  // shape
  if (version >= 4) w.u32(1);   // always on top
  if (version >= 5) w.u32(1);   // keep caption active
  if (version >= 6) w.counted_text("kowtan");
  w.counted_bytes(Bytes{0xFF, 0xD8, 0xFF});    // background picture
  w.counted_bytes(Bytes{0, 0, 1, 0});          // icon
  w.counted_bytes(Bytes{'M', 'T', 'h', 'd'});  // background sound
  w.counted_text("Title");
  w.counted_text("help.hlp");
  return w.take();
}

class WindowBlockVersions : public testing::TestWithParam<uint32_t> {};

TEST_P(WindowBlockVersions, ReadsItsFieldsAndKeepsDefaultsForTheRest) {
  const uint32_t version = GetParam();
  const auto block = units::decode_window_block(window_block(version));
  ASSERT_TRUE(block);
  const units::WindowBlock defaults;
  EXPECT_EQ(block->border_style, 5u);
  EXPECT_EQ(block->picture_mode, 3u);
  EXPECT_EQ(block->background_colour, 0x00123456u);
  EXPECT_TRUE(block->maximize_box);
  EXPECT_FALSE(block->minimize_box);
  EXPECT_FALSE(block->control_box);
  EXPECT_EQ(block->start_position, 3u);
  EXPECT_FALSE(block->movable);
  EXPECT_EQ(block->sound_repeat, 2u);
  EXPECT_TRUE(block->enter_moves_focus);
  EXPECT_FALSE(block->esc_closes);
  EXPECT_TRUE(block->f1_opens_help);
  EXPECT_EQ(block->help_context, 77u);
  EXPECT_EQ(block->show_in_taskbar, version >= 2 ? false : defaults.show_in_taskbar);
  EXPECT_EQ(block->drag_anywhere, version >= 3 ? true : defaults.drag_anywhere);
  EXPECT_EQ(block->shape, version >= 3 ? 29u : defaults.shape);
  EXPECT_EQ(block->always_on_top, version >= 4 ? true : defaults.always_on_top);
  EXPECT_EQ(block->keep_caption_active, version >= 5 ? true : defaults.keep_caption_active);
  EXPECT_EQ(block->class_name, version >= 6 ? "kowtan" : defaults.class_name);
  EXPECT_EQ(block->background_picture, (Bytes{0xFF, 0xD8, 0xFF}));
  EXPECT_EQ(block->icon, (Bytes{0, 0, 1, 0}));
  EXPECT_EQ(block->background_sound, (Bytes{'M', 'T', 'h', 'd'}));
  EXPECT_EQ(block->title, "Title");
  EXPECT_EQ(block->help_file, "help.hlp");
}

INSTANTIATE_TEST_SUITE_P(AllVersions, WindowBlockVersions, testing::Range(0u, 7u));

TEST(WindowBlock, EncodedDefaultsInFieldOrder) {
  ByteWriter w;
  w.u32(6);
  for (uint32_t word : {2u, 1u, 0xFF000000u, 0u, 1u, 1u, 1u, 1u, 0u, 0u, 1u, 0u, 0u, 1u, 0u, 0u, 0u, 0u}) w.u32(word);
  for (int i = 0; i < 6; ++i) w.u32(0);  // class name, picture, icon, sound, title, help file
  EXPECT_EQ(units::encode(units::WindowBlock{}), w.take());
}

// ---- picture box ----------------------------------------------------------

Bytes picture_box_block(uint32_t version) {
  ByteWriter w;
  w.u32(version);
  w.u32(4);           // border style
  w.u32(2);           // display mode
  w.u32(0x00112233);  // background colour
  w.u32(0);           // animate
  w.counted_bytes(Bytes{0x89, 'P', 'N', 'G'});
  if (version >= 2) {
    w.counted_text("source");
    w.counted_text("column");
  }
  return w.take();
}

class PictureBoxBlockVersions : public testing::TestWithParam<uint32_t> {};

TEST_P(PictureBoxBlockVersions, ReadsItsFieldsAndKeepsDefaultsForTheRest) {
  const uint32_t version = GetParam();
  const auto block = units::decode_picture_box_block(picture_box_block(version));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->border_style, 4u);
  EXPECT_EQ(block->display_mode, 2u);
  EXPECT_EQ(block->background_colour, 0x00112233u);
  EXPECT_FALSE(block->animate);
  EXPECT_EQ(block->picture, (Bytes{0x89, 'P', 'N', 'G'}));
  EXPECT_EQ(block->data_source, version >= 2 ? "source" : "");
  EXPECT_EQ(block->data_column, version >= 2 ? "column" : "");
}

INSTANTIATE_TEST_SUITE_P(AllVersions, PictureBoxBlockVersions, testing::Range(0u, 3u));

// ---- picture button -------------------------------------------------------

Bytes picture_button_block(uint32_t version) {
  ByteWriter w;
  w.u32(version);
  w.u32(1);           // toggle
  w.u32(1);           // checked
  w.u32(0x00FF00FF);  // colour key
  w.counted_bytes(Bytes{1});
  w.counted_bytes(Bytes{2, 2});
  w.counted_bytes(Bytes{});
  w.counted_bytes(Bytes{4, 4, 4, 4});
  return w.take();
}

class PictureButtonBlockVersions : public testing::TestWithParam<uint32_t> {};

TEST_P(PictureButtonBlockVersions, ReadsEveryField) {
  const auto block = units::decode_picture_button_block(picture_button_block(GetParam()));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->button_type, 1u);
  EXPECT_TRUE(block->checked);
  EXPECT_EQ(block->colour_key, 0x00FF00FFu);
  EXPECT_EQ(block->pictures[units::kNormalPicture], Bytes{1});
  EXPECT_EQ(block->pictures[units::kHoverPicture], (Bytes{2, 2}));
  EXPECT_TRUE(block->pictures[units::kPressedPicture].empty());
  EXPECT_EQ(block->pictures[units::kDisabledPicture], (Bytes{4, 4, 4, 4}));
}

INSTANTIATE_TEST_SUITE_P(AllVersions, PictureButtonBlockVersions, testing::Range(0u, 2u));

// ---- transparent label ----------------------------------------------------

// A LOGFONTA laid out by hand: height -12, weight 700, italic, charset 134,
// precision 3 / 2, quality 1, pitch and family 0x22, face "SimSun".
Bytes logfont_bytes() {
  ByteWriter w;
  for (int32_t field : {-12, 0, 0, 0, 700}) w.i32(field);
  w.bytes(Bytes{1, 0, 0, 134, 3, 2, 1, 0x22});
  Bytes face(32, 0);
  std::memcpy(face.data(), "SimSun", 6);
  w.bytes(face);
  return w.take();
}

Bytes label_block(uint32_t version, const Bytes& font) {
  ByteWriter w;
  w.u32(version);
  w.u32(3);         // text effect
  w.u32(0xF9C484);  // text colour
  w.u32(2);         // horizontal alignment
  w.u32(0);         // vertical alignment
  w.u32(1);         // word wrap
  w.counted_bytes(font);
  w.counted_text("\xD5\xFD\xD4\xDA");  // GBK caption
  return w.take();
}

class LabelBlockVersions : public testing::TestWithParam<uint32_t> {};

TEST_P(LabelBlockVersions, ReadsEveryField) {
  const auto block = units::decode_label_block(label_block(GetParam(), logfont_bytes()));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->text_effect, 3u);
  EXPECT_EQ(block->text_colour, 0xF9C484u);
  EXPECT_EQ(block->horizontal_alignment, 2u);
  EXPECT_EQ(block->vertical_alignment, 0u);
  EXPECT_TRUE(block->word_wrap);
  EXPECT_EQ(block->text, "\xD5\xFD\xD4\xDA");
  ASSERT_TRUE(block->font);
  EXPECT_EQ(support::font_fields(*block->font), (support::FontFields{-12, 700, 1, 134, 3, 2, 1, 0x22, "SimSun"}));
}

INSTANTIATE_TEST_SUITE_P(AllVersions, LabelBlockVersions, testing::Range(0u, 2u));

TEST(LabelBlock, EmptyFontMeansTheDefaultFont) {
  const auto block = units::decode_label_block(label_block(1, {}));
  ASSERT_TRUE(block);
  EXPECT_FALSE(block->font);
  EXPECT_EQ(block->text, "\xD5\xFD\xD4\xDA");
}

TEST(LabelBlock, FontOfAnotherLengthIsSkippedAndTheCaptionStillRead) {
  Bytes short_font = logfont_bytes();
  short_font.pop_back();
  const auto block = units::decode_label_block(label_block(1, short_font));
  ASSERT_TRUE(block);
  EXPECT_FALSE(block->font);
  EXPECT_EQ(block->text, "\xD5\xFD\xD4\xDA");
}

TEST(LabelBlock, EncodedDefaultsCarryTheDefaultCaption) {
  ByteWriter w;
  for (uint32_t word : {1u, 0u, 0u, 0u, 1u, 0u, 0u}) w.u32(word);
  w.counted_text(kDefaultLabelText);
  EXPECT_EQ(units::encode(units::LabelBlock{}), w.take());
}

// ---- what every kind's codec does -----------------------------------------

struct WindowCodec {
  static constexpr uint32_t kNewest = units::kWindowBlockVersion;
  static Bytes sample(uint32_t version) { return window_block(version); }
  static auto decode(std::span<const uint8_t> data) { return units::decode_window_block(data); }
};

struct PictureBoxCodec {
  static constexpr uint32_t kNewest = units::kPictureBoxBlockVersion;
  static Bytes sample(uint32_t version) { return picture_box_block(version); }
  static auto decode(std::span<const uint8_t> data) { return units::decode_picture_box_block(data); }
};

struct PictureButtonCodec {
  static constexpr uint32_t kNewest = units::kPictureButtonBlockVersion;
  static Bytes sample(uint32_t version) { return picture_button_block(version); }
  static auto decode(std::span<const uint8_t> data) { return units::decode_picture_button_block(data); }
};

struct LabelCodec {
  static constexpr uint32_t kNewest = units::kLabelBlockVersion;
  static Bytes sample(uint32_t version) { return label_block(version, logfont_bytes()); }
  static auto decode(std::span<const uint8_t> data) { return units::decode_label_block(data); }
};

template <typename Codec>
class BlockCodec : public testing::Test {};

using Codecs = testing::Types<WindowCodec, PictureBoxCodec, PictureButtonCodec, LabelCodec>;
TYPED_TEST_SUITE(BlockCodec, Codecs);

TYPED_TEST(BlockCodec, NewerVersionIsRejected) {
  Bytes block = TypeParam::sample(TypeParam::kNewest);
  ASSERT_TRUE(TypeParam::decode(block));
  block[0] = uint8_t(TypeParam::kNewest + 1);
  EXPECT_FALSE(TypeParam::decode(block));
}

TYPED_TEST(BlockCodec, TruncatedBlockOfEveryVersionIsRejected) {
  for (uint32_t version = 0; version <= TypeParam::kNewest; ++version) {
    const Bytes block = TypeParam::sample(version);
    for (size_t length = 0; length < block.size(); ++length) {
      EXPECT_FALSE(TypeParam::decode(std::span<const uint8_t>(block.data(), length)))
          << "version " << version << ", prefix of " << length << " bytes";
    }
  }
}

TYPED_TEST(BlockCodec, EncodeWritesTheNewestVersionThatDecodesBack) {
  const Bytes block = TypeParam::sample(TypeParam::kNewest);
  const auto decoded = TypeParam::decode(block);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(units::encode(*decoded), block);
}

TEST(ComObjectBlock, ClassTextRoundTripsAndANewerVersionOrAShortBlockIsRefused) {
  frame::ByteWriter w;
  w.u32(1);
  w.counted_text("WScript.Shell");
  const std::vector<uint8_t> bytes = w.take();
  const auto block = units::decode_com_object_block(bytes);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->class_name, "WScript.Shell");
  EXPECT_EQ(units::encode(*block), bytes);
  std::vector<uint8_t> newer = bytes;
  newer[0] = 2;
  EXPECT_FALSE(units::decode_com_object_block(newer));
  EXPECT_FALSE(units::decode_com_object_block(std::span(bytes).first(bytes.size() - 1)));
}

}  // namespace
