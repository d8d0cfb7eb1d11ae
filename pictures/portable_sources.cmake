# The platform-free decoder sources, shared by pictures_portable and the fuzz tree.
set(PICTURES_PORTABLE_SOURCES
  detect.cpp
  decode.cpp
  blend.cpp
  rgb_rows.cpp
  dib_block.cpp
  jpeg_decoder.cpp
  png_decoder.cpp
  bmp_decoder.cpp
  icon_decoder.cpp
  gif_lzw.cpp
  gif_decoder.cpp
  pcx_decoder.cpp
)
list(TRANSFORM PICTURES_PORTABLE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
