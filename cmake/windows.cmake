# Texts of the system are GBK at run time; sources stay readable UTF-8. The
# product's libraries and the probes that hold its texts ask for it: test code
# compares through the wide APIs.
function(target_uses_gbk_texts)
  foreach(target ${ARGN})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>)
  endforeach()
endfunction()
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# Build tools come from the host tree: the Makefile builds it first and passes its path.
set(TRELLIMO_HOST_BUILD "" CACHE PATH "The host build tree, holding tplc and cassemble")
if(NOT TRELLIMO_HOST_BUILD)
  message(FATAL_ERROR "TRELLIMO_HOST_BUILD must name the host build tree (the Makefile sets it)")
endif()
set(TRELLIMO_HOST_TOOLS ${TRELLIMO_HOST_BUILD}/tools)
set(TPLC ${TRELLIMO_HOST_TOOLS}/tplc)

# Compiles a layout description into a window template and the jump table its
# bindings point into (symbol TABLE), and, when UNITS_HEADER is given, a C++ header
# naming the window and its units by role in NAMESPACE; a target NAME makes them.
#   compile_window_layout(NAME LAYOUT file TEMPLATE out HANDLERS out TABLE symbol
#                         [UNITS_HEADER out NAMESPACE name] [DEPENDS pictures...])
function(compile_window_layout name)
  cmake_parse_arguments(ARG "" "LAYOUT;TEMPLATE;HANDLERS;TABLE;UNITS_HEADER;NAMESPACE" "DEPENDS" ${ARGN})
  set(header_command)
  if(ARG_UNITS_HEADER)
    set(header_command COMMAND ${TPLC} unit-header ${ARG_LAYOUT} ${ARG_NAMESPACE} ${ARG_UNITS_HEADER})
  endif()
  add_custom_command(
    OUTPUT ${ARG_TEMPLATE} ${ARG_HANDLERS} ${ARG_UNITS_HEADER}
    COMMAND ${TPLC} compile ${ARG_LAYOUT} ${ARG_TEMPLATE}
    COMMAND ${TPLC} handler-table ${ARG_LAYOUT} ${ARG_TABLE} ${ARG_HANDLERS}
    ${header_command}
    DEPENDS ${ARG_LAYOUT} ${ARG_DEPENDS} ${TPLC}
    COMMENT "Compiling the window layout ${ARG_LAYOUT}"
    VERBATIM)
  add_custom_target(${name} DEPENDS ${ARG_TEMPLATE} ${ARG_HANDLERS} ${ARG_UNITS_HEADER})
endfunction()

# The installer ships as one file: no symbols in release builds, and nothing it
# does not reach (every function and datum in a section of its own, so that the
# link can leave out each one nothing refers to).
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options($<$<CONFIG:MinSizeRel>:-s> $<$<CONFIG:MinSizeRel>:-Wl,--gc-sections>)
# The code is also kept in GCC's intermediate form, so that the installer's link
# can optimise across the whole program (add_installer_executable asks for it). The
# objects keep their machine code as well, and every other program links that, as
# it would without: optimising each test program as a whole would only slow the
# build.
add_compile_options($<$<AND:$<CONFIG:MinSizeRel>,$<COMPILE_LANGUAGE:C,CXX>>:-flto>
                    $<$<AND:$<CONFIG:MinSizeRel>,$<COMPILE_LANGUAGE:C,CXX>>:-ffat-lto-objects>)
add_link_options($<$<CONFIG:MinSizeRel>:-fno-lto>)

# Two builds of one commit give the same bytes, wherever the tree lies and whenever
# it is built, so that anyone can rebuild a published installer and compare it.
# The linker writes the PE time stamp from SOURCE_DATE_EPOCH; handing it over
# through the link command (rather than the environment of whoever runs ninja)
# makes a new value relink. The Makefile passes the commit's time.
set(TRELLIMO_SOURCE_DATE_EPOCH "" CACHE STRING "Seconds since 1970 the linker writes as the PE time stamp")
if(TRELLIMO_SOURCE_DATE_EPOCH)
  foreach(lang C CXX)
    set(CMAKE_${lang}_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TRELLIMO_SOURCE_DATE_EPOCH})
  endforeach()
endif()
# __FILE__ and any other path the compiler writes name files relative to the tree.
# GCC tries the map given last first, so the build tree, which lies inside the
# source tree, comes after it.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
# Archives without member dates, owners or modes, whatever the binutils' default.
foreach(lang C CXX ASM)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()
