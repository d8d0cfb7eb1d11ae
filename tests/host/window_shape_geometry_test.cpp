// The numbers behind a window's shape: which outline each shape is, the rounded
// rectangle's corner, and polygon points scaled to the window as MulDiv scales them.
#include <gtest/gtest.h>

#include "units/window_shape_geometry.h"

namespace units {
namespace {

TEST(ShapeOutline, TheFirstFourAreCurvesAndTheRestPolygons) {
  EXPECT_EQ(shape_outline(0), ShapeOutline::rectangle);
  EXPECT_EQ(shape_outline(1), ShapeOutline::ellipse);
  EXPECT_EQ(shape_outline(2), ShapeOutline::rounded_rectangle);
  EXPECT_EQ(shape_outline(3), ShapeOutline::ring);
  for (uint32_t shape = 4; shape <= 29; ++shape) EXPECT_EQ(shape_outline(shape), ShapeOutline::polygon) << shape;
  EXPECT_EQ(shape_outline(30), ShapeOutline::polygon);
  EXPECT_TRUE(shape_polygon(0).empty());
  EXPECT_TRUE(shape_polygon(3).empty());
}

TEST(RoundedCorner, IsAFifthOfTheSmallerSide) {
  EXPECT_EQ(rounded_corner_diameter(100, 40), 8);
  EXPECT_EQ(rounded_corner_diameter(40, 100), 8);
  EXPECT_EQ(rounded_corner_diameter(200, 100), 20);
  EXPECT_EQ(rounded_corner_diameter(680, 500), 100);
  EXPECT_EQ(rounded_corner_diameter(4, 40), 0);
}

TEST(ShapePolygon, EachListHasItsPointCount) {
  const size_t counts[] = {4, 3, 3, 3, 4, 5, 6, 4, 4, 10, 8, 11, 24, 28, 6, 5, 7, 7, 7, 7, 10, 10, 24, 17, 8, 5};
  for (uint32_t shape = 4; shape <= 29; ++shape) EXPECT_EQ(shape_polygon(shape).size(), counts[shape - 4]) << shape;
  EXPECT_EQ(shape_polygon(30).size(), shape_polygon(29).size());
}

TEST(ShapePolygon, ListsStartAndEndAsGiven) {
  const auto arrow = shape_polygon(4);
  EXPECT_EQ(arrow.front(), (ShapePoint{16383, 0}));
  EXPECT_EQ(arrow.back(), (ShapePoint{16383, 0}));
  EXPECT_EQ(shape_polygon(5)[2], (ShapePoint{16383, 32767}));
  EXPECT_EQ(shape_polygon(16).front(), (ShapePoint{655, 3932}));
  EXPECT_EQ(shape_polygon(17).back(), (ShapePoint{22281, 8847}));
  EXPECT_EQ(shape_polygon(29).front(), (ShapePoint{32767, 16383}));
}

TEST(ScaleShapePoint, RoundsHalfUpAsMulDivDoes) {
  EXPECT_EQ(scale_shape_point({32767, 32767}, 680, 500), (ShapePoint{680, 500}));
  EXPECT_EQ(scale_shape_point({0, 0}, 680, 500), (ShapePoint{0, 0}));
  // 16383 * 100 / 32767 = 49.998..., 16383 * 3 / 32767 = 1.49995...
  EXPECT_EQ(scale_shape_point({16383, 16383}, 100, 3), (ShapePoint{50, 1}));
  // 10922 * 3 / 32767 = 0.99997 rounds to 1; 8191 * 2 / 32767 = 0.49995 rounds to 0.
  EXPECT_EQ(scale_shape_point({10922, 8191}, 3, 2), (ShapePoint{1, 0}));
  EXPECT_EQ(scale_shape_point({16384, 16384}, 1, 1), (ShapePoint{1, 1}));
}

}  // namespace
}  // namespace units
