// picture-bench FILE REPEATS: decodes FILE with the installer's own decoders REPEATS
// times and prints the fastest decode in milliseconds and the picture's megapixels.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "pictures/decode.h"
#include "tools/common/tool_files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: picture-bench FILE REPEATS\n");
    return 2;
  }
  std::vector<uint8_t> bytes;
  try {
    bytes = tools::read_file(argv[1]);
  } catch (const tools::FileError& e) {
    std::fprintf(stderr, "picture-bench: %s\n", e.what());
    return 1;
  }
  const int repeats = std::max(1, std::stoi(argv[2]));
  double fastest_ms = 1e30;
  double megapixels = 0;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const auto picture = pictures::decode_picture(bytes);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (!picture) {
      std::fprintf(stderr, "picture-bench: %s does not decode\n", argv[1]);
      return 1;
    }
    megapixels = static_cast<double>(picture->width) * picture->height / 1e6;
    fastest_ms = std::min(fastest_ms, std::chrono::duration<double, std::milli>(elapsed).count());
  }
  std::printf("%.3f %.3f\n", fastest_ms, megapixels);
  return 0;
}
