// picture-dump FILE OUTDIR: decodes FILE with the installer's own decoders and
// writes what they produced as PNG files into OUTDIR: frame-000.png for a still
// picture, frame-001.png and on for each composed frame of an animated GIF, and
// frames.txt listing each file with its delay in hundredths of a second. Alpha and
// GIF transparency stay alpha; everything else is opaque, exactly as decoded.
// Exit status 1 when the file is no picture the decoders take, 2 on a write error.
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "pictures/decode.h"
#include "tools/picture-dump/rgba_rows.h"

namespace {

using picture_dump::RgbaImage;

// libpng's simplified writer: RGBA, or RGB when every pixel is opaque.
bool write_png(const std::filesystem::path& path, const RgbaImage& image) {
  png_image out{};
  out.version = PNG_IMAGE_VERSION;
  out.width = png_uint_32(image.width);
  out.height = png_uint_32(image.height);
  out.format = PNG_FORMAT_RGBA;
  if (image.has_alpha) return png_image_write_to_file(&out, path.c_str(), 0, image.rgba.data(), 0, nullptr) != 0;
  std::vector<uint8_t> rgb;
  rgb.reserve(image.rgba.size() / 4 * 3);
  for (size_t i = 0; i < image.rgba.size(); i += 4) rgb.insert(rgb.end(), &image.rgba[i], &image.rgba[i + 3]);
  out.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&out, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

std::string frame_name(size_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%03zu.png", number);
  return name;
}

int dump(const pictures::Picture& picture, const std::filesystem::path& out_dir) {
  std::filesystem::create_directories(out_dir);
  std::ofstream list(out_dir / "frames.txt");
  if (picture.animation.size() > 1) {
    for (size_t i = 0; i < picture.animation.size(); ++i) {
      const auto& frame = picture.animation[i];
      if (!write_png(out_dir / frame_name(i + 1), picture_dump::frame_rgba(picture, frame))) return 2;
      list << frame_name(i + 1) << ' ' << frame.delay_cs << '\n';
    }
    return list ? 0 : 2;
  }
  auto still = picture_dump::still_rgba(picture);
  if (!still) return 1;
  if (!write_png(out_dir / frame_name(0), *still)) return 2;
  list << frame_name(0) << " 0\n";
  return list ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: picture-dump FILE OUTDIR\n");
    return 2;
  }
  auto picture = pictures::decode_picture_file(argv[1]);
  if (!picture) {
    std::fprintf(stderr, "picture-dump: %s is no picture the decoders take\n", argv[1]);
    return 1;
  }
  return dump(*picture, argv[2]);
}
