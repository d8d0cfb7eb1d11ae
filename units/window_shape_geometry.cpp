#include "units/window_shape_geometry.h"

#include <algorithm>
#include <iterator>

namespace units {
namespace {

constexpr uint32_t kLastShape = 29;
constexpr uint32_t kFirstPolygon = 4;

constexpr ShapePoint kShape4[] = {{16383, 0}, {32767, 32767}, {0, 32767}, {16383, 0}};
constexpr ShapePoint kShape5[] = {{0, 0}, {32767, 0}, {16383, 32767}};
constexpr ShapePoint kShape6[] = {{0, 0}, {32767, 32767}, {0, 32767}};
constexpr ShapePoint kShape7[] = {{32767, 0}, {32767, 32767}, {0, 32767}};
constexpr ShapePoint kShape8[] = {{10922, 0}, {32767, 0}, {21845, 32767}, {0, 32767}};
constexpr ShapePoint kShape9[] = {{16383, 0}, {32767, 12287}, {27306, 32767}, {5461, 32767}, {0, 12287}};
constexpr ShapePoint kShape10[] = {{8191, 0}, {24576, 0}, {32767, 16383}, {24576, 32767}, {8191, 32767}, {0, 16383}};
constexpr ShapePoint kShape11[] = {{10922, 0}, {21845, 0}, {32767, 32767}, {0, 32767}};
constexpr ShapePoint kShape12[] = {{16383, 0}, {32767, 16383}, {16383, 32767}, {0, 16383}};
constexpr ShapePoint kShape13[] = {{16383, 0},     {12779, 12779}, {0, 12779},     {10157, 20315}, {6553, 32767},
                                   {16383, 25558}, {26213, 32767}, {22609, 20315}, {32767, 12779}, {19987, 12779}};
constexpr ShapePoint kShape14[] = {{16383, 0},     {13106, 13106}, {0, 16383},     {13106, 19660},
                                   {16383, 32767}, {19660, 19660}, {32767, 16383}, {19660, 13106}};
constexpr ShapePoint kShape15[] = {{12288, 0},     {0, 5461},      {10922, 13653}, {8191, 15018},
                                   {17748, 21844}, {15018, 23209}, {32767, 32767}, {21844, 19113},
                                   {24574, 17748}, {16383, 10921}, {19113, 9556}};
constexpr ShapePoint kShape16[] = {{655, 3932},    {6553, 11468},  {0, 13106},     {4915, 18021},  {0, 22281},
                                   {8519, 21298},  {7208, 26541},  {11796, 23592}, {13106, 32767}, {16055, 22609},
                                   {19987, 29817}, {21298, 22281}, {30473, 30473}, {25558, 19660}, {32767, 19987},
                                   {26868, 15728}, {32111, 12451}, {25558, 11140}, {27524, 6881},  {21298, 8191},
                                   {22281, 0},     {16383, 8519},  {12779, 3604},  {10813, 9502}};
constexpr ShapePoint kShape17[] = {
    {22609, 0},     {17038, 6553},  {14745, 2949},  {13106, 9830},  {6553, 5898},   {8191, 11796},  {1638, 12451},
    {5898, 17694},  {0, 19660},     {4915, 23264},  {1966, 27196},  {7208, 27524},  {7208, 32767},  {11468, 27524},
    {13106, 29490}, {15072, 26213}, {18349, 29490}, {18677, 24247}, {22936, 26541}, {22609, 21953}, {28507, 26868},
    {24902, 18677}, {27524, 17038}, {25885, 14089}, {32767, 10157}, {24902, 9830},  {26868, 4915},  {22281, 8847}};
constexpr ShapePoint kShape18[] = {{32767, 16383}, {18724, 0}, {0, 0}, {14043, 16383}, {0, 32767}, {18724, 32767}};
constexpr ShapePoint kShape19[] = {{6553, 0}, {0, 6553}, {0, 32767}, {32767, 32767}, {32767, 0}};
constexpr ShapePoint kShape20[] = {{32767, 8191}, {32767, 24576}, {8191, 24576}, {8191, 32767},
                                   {0, 16383},    {8191, 0},      {8191, 8191}};
constexpr ShapePoint kShape21[] = {{0, 8191},      {0, 24576}, {24576, 24576}, {24576, 32767},
                                   {32767, 16383}, {24576, 0}, {24576, 8191}};
constexpr ShapePoint kShape22[] = {{24576, 32767}, {8191, 32767}, {8191, 8191}, {0, 8191},
                                   {16383, 0},     {32767, 8191}, {24576, 8191}};
constexpr ShapePoint kShape23[] = {{24576, 0},     {8191, 0},      {8191, 24576}, {0, 24576},
                                   {16383, 32767}, {32767, 24576}, {24576, 24576}};
constexpr ShapePoint kShape24[] = {{24576, 8191}, {24576, 0},    {32767, 16383}, {24576, 32767}, {24576, 24576},
                                   {8191, 24576}, {8191, 32767}, {0, 16383},     {8191, 0},      {8191, 8191}};
constexpr ShapePoint kShape25[] = {{24576, 24576}, {32767, 24576}, {16383, 32767}, {0, 24576},    {8191, 24576},
                                   {8191, 8191},   {0, 8191},      {16383, 0},     {32767, 8191}, {24576, 8191}};
constexpr ShapePoint kShape26[] = {{16383, 0},     {9830, 6553},   {13106, 6553},  {13106, 13106}, {6553, 13106},
                                   {6553, 9830},   {0, 16383},     {6553, 22937},  {6553, 19661},  {13106, 19661},
                                   {13106, 26214}, {9830, 26214},  {16383, 32767}, {22937, 26214}, {19661, 26214},
                                   {19661, 19661}, {26214, 19661}, {26214, 22937}, {32767, 16383}, {26214, 9830},
                                   {26214, 13106}, {19661, 13106}, {19661, 6553},  {22937, 6553}};
constexpr ShapePoint kShape27[] = {{16383, 0},     {9830, 9362},   {13106, 9362},  {13106, 18724}, {6553, 18724},
                                   {6553, 14043},  {0, 23405},     {6553, 32767},  {6553, 28086},  {26213, 28086},
                                   {26213, 32767}, {32767, 23405}, {26213, 14043}, {26213, 18724}, {19660, 18724},
                                   {19660, 9362},  {22936, 9362}};
constexpr ShapePoint kShape28[] = {{0, 8191},      {4095, 16383},  {0, 24576}, {24576, 24576},
                                   {24576, 32767}, {32767, 16383}, {24576, 0}, {24576, 8191}};
constexpr ShapePoint kShape29[] = {{32767, 16383}, {18724, 0}, {0, 0}, {0, 32767}, {18724, 32767}};

constexpr std::span<const ShapePoint> kPolygons[] = {
    kShape4,  kShape5,  kShape6,  kShape7,  kShape8,  kShape9,  kShape10, kShape11, kShape12,
    kShape13, kShape14, kShape15, kShape16, kShape17, kShape18, kShape19, kShape20, kShape21,
    kShape22, kShape23, kShape24, kShape25, kShape26, kShape27, kShape28, kShape29,
};
static_assert(std::size(kPolygons) == kLastShape - kFirstPolygon + 1);

// MulDiv's rounding for the non-negative values a shape has: half rounds up.
int32_t scale(int32_t value, int32_t size) {
  const int64_t product = int64_t{value} * size;
  const int64_t half = kShapeUnit / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / kShapeUnit : (product - half) / kShapeUnit);
}

}  // namespace

ShapeOutline shape_outline(uint32_t shape) {
  switch (std::min(shape, kLastShape)) {
    case 0:
      return ShapeOutline::rectangle;
    case 1:
      return ShapeOutline::ellipse;
    case 2:
      return ShapeOutline::rounded_rectangle;
    case 3:
      return ShapeOutline::ring;
    default:
      return ShapeOutline::polygon;
  }
}

std::span<const ShapePoint> shape_polygon(uint32_t shape) {
  if (shape_outline(shape) != ShapeOutline::polygon) return {};
  return kPolygons[std::min(shape, kLastShape) - kFirstPolygon];
}

ShapePoint scale_shape_point(ShapePoint point, int32_t width, int32_t height) {
  return {scale(point.x, width), scale(point.y, height)};
}

int32_t rounded_corner_diameter(int32_t width, int32_t height) { return std::min(width / 5, height / 5); }

}  // namespace units
