# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (i686) and runs the
# resulting test programs through Wine.
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake ...

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(_trellimo_triplet i686-w64-mingw32)

# The "posix" thread-model variants: their C++ library has std::mutex and
# std::thread, which GoogleTest needs; winpthread is linked statically below.
set(CMAKE_C_COMPILER   ${_trellimo_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_trellimo_triplet}-g++-posix)
set(CMAKE_RC_COMPILER  ${_trellimo_triplet}-windres)
# The "win32" thread-model driver: the installer links its C++ runtime
# (cmake/installer.cmake).
set(TRELLIMO_WIN32_MODEL_CXX ${_trellimo_triplet}-g++-win32)

# Static cross builds of libjpeg and libpng (tools/build-cross-deps.sh) live here.
get_filename_component(_trellimo_default_deps
  "${CMAKE_CURRENT_LIST_DIR}/../build/deps/${_trellimo_triplet}" ABSOLUTE)
set(TRELLIMO_DEPS_PREFIX "${_trellimo_default_deps}" CACHE PATH
  "Prefix holding the static i686 libjpeg and libpng")

# Deps prefix first, so its headers win over anything of the same name in the
# MinGW sysroot.
set(CMAKE_FIND_ROOT_PATH "${TRELLIMO_DEPS_PREFIX}" /usr/${_trellimo_triplet})
# Programs (nasm, awk, windres) run on the build machine; libraries, headers and
# package configs must come from the target trees only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The MinGW sysroot ships both libz.a and libz.dll.a, and CMake prefers the
# import library on Windows; the installer must be one self-contained .exe.
set(ZLIB_USE_STATIC_LIBS ON CACHE BOOL "Link zlib statically")

# One .exe with no MinGW runtime DLLs (libgcc, libstdc++, winpthread) beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# ctest (and try_run) start the .exe files through Wine. A cache entry, so a
# build that must not touch Wine can pass -DCMAKE_CROSSCOMPILING_EMULATOR=.
get_filename_component(_trellimo_wine_run
  "${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_trellimo_wine_run}" CACHE FILEPATH
  "Runs cross-built programs under Wine")
