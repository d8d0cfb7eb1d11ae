// How GIF frames are composed in true colour: each frame in its own colours, the
// four disposal methods, transparency over what lies beneath, interlacing,
// clipping to the screen and the loop count.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gif_writer.h"
#include "pictures/decode.h"

namespace {

using Bytes = std::vector<uint8_t>;
using gif_writer::Colour;

constexpr Colour kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kYellow{255, 255, 0};

// Composed pixels, B,G,R,A: a colour is opaque, `none` shows the viewer's background.
struct Pixel {
  std::optional<Colour> colour;
};
const Pixel none{};
Pixel opaque(Colour c) { return {c}; }

Bytes bgra(std::initializer_list<Pixel> pixels) {
  Bytes out;
  for (const Pixel& p : pixels) {
    if (p.colour) {
      out.insert(out.end(), {(*p.colour)[2], (*p.colour)[1], (*p.colour)[0], 255});
    } else {
      out.insert(out.end(), {0, 0, 0, 0});
    }
  }
  return out;
}

std::vector<Bytes> composed(const gif_writer::Gif& gif) {
  auto p = pictures::decode_picture(gif_writer::write(gif));
  EXPECT_TRUE(p);
  std::vector<Bytes> frames;
  if (p) {
    for (const auto& f : p->animation) frames.push_back(f.bgra);
  }
  return frames;
}

// A 3 x 1 screen with red and blue in its global table, showing these frames.
gif_writer::Gif three_wide(std::vector<gif_writer::Frame> frames = {}) {
  return {3, 1, {kRed, kBlue}, 0, std::nullopt, std::move(frames)};
}

using gif_writer::frame;
using Frames = std::vector<Bytes>;

TEST(GifComposition, EachFrameUsesItsOwnColourTableAndLeavesEarlierColoursAlone) {
  // Index 1 is yellow in the second frame's own table.
  EXPECT_EQ(
      composed(three_wide({frame(0, 0, 3, 1, {0, 1, 0}), frame(1, 0, 1, 1, {1}).with_palette({kGreen, kYellow})})),
      (Frames{bgra({opaque(kRed), opaque(kBlue), opaque(kRed)}), bgra({opaque(kRed), opaque(kYellow), opaque(kRed)})}));
}

TEST(GifComposition, TransparentPixelsShowWhatLiesBeneathAndNothingAtFirst) {
  const auto blue_transparent = frame(0, 0, 3, 1, {0, 1, 1}).with_transparent(1);
  const auto red_transparent = frame(0, 0, 3, 1, {1, 1, 0}).with_transparent(0);
  EXPECT_EQ(composed(three_wide({blue_transparent, red_transparent})),
            (Frames{bgra({opaque(kRed), none, none}), bgra({opaque(kBlue), opaque(kBlue), none})}));
}

TEST(GifComposition, DisposalNoneAndLeaveKeepTheFrameRestoreToBackgroundClearsIt) {
  for (uint8_t keeping : {uint8_t(0), uint8_t(1)}) {
    const auto gif = three_wide({frame(0, 0, 2, 1, {0, 0}).with_disposal(keeping), frame(2, 0, 1, 1, {1})});
    EXPECT_EQ(composed(gif).back(), bgra({opaque(kRed), opaque(kRed), opaque(kBlue)})) << int(keeping);
  }
  const auto cleared =
      three_wide({frame(0, 0, 3, 1, {1, 1, 1}), frame(0, 0, 2, 1, {0, 0}).with_disposal(2), frame(2, 0, 1, 1, {0})});
  EXPECT_EQ(composed(cleared),
            (Frames{bgra({opaque(kBlue), opaque(kBlue), opaque(kBlue)}),
                    bgra({opaque(kRed), opaque(kRed), opaque(kBlue)}), bgra({none, none, opaque(kRed)})}));
}

TEST(GifComposition, RestoreToPreviousPutsBackTheCanvasBeforeTheFrame) {
  const auto restored =
      three_wide({frame(0, 0, 3, 1, {0, 0, 0}), frame(0, 0, 2, 1, {1, 1}).with_disposal(3), frame(2, 0, 1, 1, {1})});
  EXPECT_EQ(composed(restored), (Frames{bgra({opaque(kRed), opaque(kRed), opaque(kRed)}),
                                        bgra({opaque(kBlue), opaque(kBlue), opaque(kRed)}),
                                        bgra({opaque(kRed), opaque(kRed), opaque(kBlue)})}));
  // On the first frame there is nothing before it to put back.
  const auto first = three_wide({frame(0, 0, 1, 1, {1}).with_disposal(3), frame(1, 0, 1, 1, {0})});
  EXPECT_EQ(composed(first).back(), bgra({none, opaque(kRed), none}));
}

TEST(GifComposition, InterlacedRowsLandWhereThePlainOnesDo) {
  gif_writer::Gif plain{1, 10, {kRed, kBlue}, 0, std::nullopt, {}};
  plain.frames.push_back(frame(0, 0, 1, 10, {0, 1, 1, 0, 0, 0, 1, 0, 1, 1}));
  auto interlaced = plain;
  interlaced.frames[0].interlaced = true;
  const auto expected = composed(plain);
  ASSERT_EQ(expected.size(), 1u);
  EXPECT_EQ(composed(interlaced), expected);
  EXPECT_EQ(expected[0], bgra({opaque(kRed), opaque(kBlue), opaque(kBlue), opaque(kRed), opaque(kRed), opaque(kRed),
                               opaque(kBlue), opaque(kRed), opaque(kBlue), opaque(kBlue)}));
}

TEST(GifComposition, FramesAreClippedToTheScreen) {
  gif_writer::Gif gif{2, 2, {kRed, kBlue}, 0, std::nullopt, {}};
  gif.frames.push_back(frame(1, 1, 3, 2, {1, 0, 0, 0, 0, 0}));
  gif.frames.push_back(frame(5, 5, 1, 1, {1}));  // wholly off the screen
  const auto frames = composed(gif);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], bgra({none, none, none, opaque(kBlue)}));
  EXPECT_EQ(frames[1], frames[0]);
}

TEST(GifComposition, TheStillPictureIsTheFirstFrameOverTheBackgroundIndex) {
  gif_writer::Gif gif{2, 1, {kRed, kBlue}, 1, std::nullopt, {}};
  gif.frames.push_back(frame(0, 0, 1, 1, {0}));
  auto p = pictures::decode_picture(gif_writer::write(gif));
  ASSERT_TRUE(p);
  ASSERT_EQ(p->pixels.size(), pictures::kDibPixelOffset + 4);
  EXPECT_EQ(p->pixels[pictures::kDibPixelOffset], 0);
  EXPECT_EQ(p->pixels[pictures::kDibPixelOffset + 1], 1);
  EXPECT_EQ(p->animation[0].bgra, bgra({opaque(kRed), none}));
}

TEST(GifComposition, DelaysAreKeptAsStoredAndTheLoopCountSaysHowOftenItPlays) {
  auto gif = three_wide({frame(0, 0, 1, 1, {0}), frame(0, 0, 1, 1, {1}).with_delay(25)});
  auto p = pictures::decode_picture(gif_writer::write(gif));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->animation[0].delay_cs, 0);
  EXPECT_EQ(p->animation[1].delay_cs, 25);
  EXPECT_EQ(p->plays, 0u);  // no loop block: for ever
  for (auto [count, plays] : {std::pair<uint16_t, uint32_t>{0, 0}, {1, 2}, {5, 6}}) {
    gif.loop_count = count;
    EXPECT_EQ(pictures::decode_picture(gif_writer::write(gif))->plays, plays) << count;
  }
}

TEST(GifComposition, PlaybackDelaysOfZeroAndOneHundredthAreATenth) {
  EXPECT_EQ(pictures::frame_delay_ms(0), 100u);
  EXPECT_EQ(pictures::frame_delay_ms(1), 100u);
  EXPECT_EQ(pictures::frame_delay_ms(2), 20u);
  EXPECT_EQ(pictures::frame_delay_ms(65535), 655350u);
}

}  // namespace
