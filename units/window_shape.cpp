#include "units/window_shape.h"

#include <vector>

#include "units/window_shape_geometry.h"

namespace units {
namespace {

frame::OwnedRegion ring_region(int width, int height) {
  frame::OwnedRegion outer(CreateEllipticRgn(0, 0, width, height));
  const frame::OwnedRegion inner(CreateEllipticRgn(width / 4, height / 4, width - width / 4, height - height / 4));
  if (!outer || !inner) return {};
  CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF);
  return outer;
}

// Traced as a path so that the region is what the path's fill would cover.
frame::OwnedRegion polygon_region(uint32_t shape, int width, int height) {
  std::vector<POINT> points;
  for (const ShapePoint& point : shape_polygon(shape)) {
    const ShapePoint scaled = scale_shape_point(point, width, height);
    points.push_back({scaled.x, scaled.y});
  }
  const frame::OwnedDc dc(CreateCompatibleDC(nullptr));
  if (!dc || !BeginPath(dc.get())) return {};
  Polygon(dc.get(), points.data(), static_cast<int>(points.size()));
  if (!EndPath(dc.get())) return {};
  return frame::OwnedRegion(PathToRegion(dc.get()));
}

}  // namespace

frame::OwnedRegion make_shape_region(uint32_t shape, int width, int height) {
  switch (shape_outline(shape)) {
    case ShapeOutline::rectangle:
      return {};
    case ShapeOutline::ellipse:
      return frame::OwnedRegion(CreateEllipticRgn(0, 0, width, height));
    case ShapeOutline::rounded_rectangle: {
      const int diameter = rounded_corner_diameter(width, height);
      return frame::OwnedRegion(CreateRoundRectRgn(0, 0, width, height, diameter, diameter));
    }
    case ShapeOutline::ring:
      return ring_region(width, height);
    case ShapeOutline::polygon:
      return polygon_region(shape, width, height);
  }
  return {};
}

}  // namespace units
