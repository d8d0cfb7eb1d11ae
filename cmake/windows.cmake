# Texts of the system are GBK at run time; sources stay readable UTF-8. Only the
# product's own folders ask for it: test code compares through the wide APIs.
macro(use_gbk_texts)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GBK>)
endmacro()
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# Build tools come from the host tree: the Makefile builds it first and passes its path.
set(TRELLIMO_HOST_TOOLS "" CACHE PATH "Folder holding the host-built tplc")
if(NOT TRELLIMO_HOST_TOOLS)
  message(FATAL_ERROR "TRELLIMO_HOST_TOOLS must name the host build's tools folder (the Makefile sets it)")
endif()
set(TPLC ${TRELLIMO_HOST_TOOLS}/tplc)

# The installer ships as one file: no symbols in release builds, and nothing it
# does not reach (every function and datum in a section of its own, so that the
# link can leave out each one nothing refers to).
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options($<$<CONFIG:MinSizeRel>:-s> $<$<CONFIG:MinSizeRel>:-Wl,--gc-sections>)
