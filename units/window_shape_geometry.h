// The outlines a window can be cut to, in numbers only: which outline each shape
// number is, the corner of the rounded rectangle, and the polygons as points in
// units of 1/32767 of the window's width (x) and height (y).
#pragma once

#include <cstdint>
#include <span>

namespace units {

enum class ShapeOutline { rectangle, ellipse, rounded_rectangle, ring, polygon };

struct ShapePoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const ShapePoint&) const = default;
};

inline constexpr int32_t kShapeUnit = 32767;

// Shapes beyond the last one are taken as the last one, as a written value is clamped.
ShapeOutline shape_outline(uint32_t shape);

// The polygon of shapes 4 to 29, as listed (the first point is not repeated unless
// the list repeats it); empty for the other shapes.
std::span<const ShapePoint> shape_polygon(uint32_t shape);

// A point of a polygon on a window of this outer size, rounded as MulDiv rounds.
ShapePoint scale_shape_point(ShapePoint point, int32_t width, int32_t height);

// The rounded rectangle's corner diameter: a fifth of the smaller side (each fifth
// truncated first).
int32_t rounded_corner_diameter(int32_t width, int32_t height);

}  // namespace units
