# Embeds a window template byte for byte in a target's read-only data, as the
# symbols window_template_begin and window_template_end, and the data checksum of
# the constants area the target links (the optional third argument) followed by
# that template, as the word program_data_checksum.
function(embed_window_template target template_file)
  set(TEMPLATE_FILE ${template_file})
  set(embed_source ${CMAKE_CURRENT_BINARY_DIR}/${target}-template.S)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/embedded_template.S.in ${embed_source} @ONLY)
  set_source_files_properties(${embed_source} PROPERTIES OBJECT_DEPENDS ${template_file})
  set(covered_files ${ARGN} ${template_file})
  set(checksum_source ${CMAKE_CURRENT_BINARY_DIR}/${target}-checksum.S)
  add_custom_command(
    OUTPUT ${checksum_source}
    COMMAND ${TRELLIMO_HOST_TOOLS}/cassemble checksum ${checksum_source} ${covered_files}
    DEPENDS ${covered_files} ${TRELLIMO_HOST_TOOLS}/cassemble
    VERBATIM)
  target_sources(${target} PRIVATE ${embed_source} ${checksum_source})
endfunction()

# The installer's one worker thread is a CreateThread thread and it uses no C++
# thread facilities, so it links the C++ runtime of the win32 thread model: the
# posix model's exception runtime brings winpthread in, 20 KB of the program. The
# objects, compiled against the posix model's headers, link with it as they are:
# the two models' headers differ in the thread and clock facilities alone.
# Search paths given at link time come before the compiler driver's own.
function(installer_links_win32_model_runtime target)
  if(NOT TRELLIMO_WIN32_MODEL_CXX)
    return()
  endif()
  execute_process(
    COMMAND ${TRELLIMO_WIN32_MODEL_CXX} -print-file-name=libstdc++.a
    OUTPUT_VARIABLE runtime_archive
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  if(NOT IS_ABSOLUTE "${runtime_archive}")
    message(FATAL_ERROR "${TRELLIMO_WIN32_MODEL_CXX} has no libstdc++.a (install g++-mingw-w64-i686-win32)")
  endif()
  get_filename_component(runtime_dir "${runtime_archive}" DIRECTORY)
  target_link_directories(${target} BEFORE PRIVATE "${runtime_dir}")
endfunction()

# An installer executable: the installer's code, the frame's WinMain, the program
# header, how its containers fail, resources, and the given window template. Tests
# build variants of it around other templates.
function(add_installer_executable name template_file)
  set(ICON_FILE ${PROJECT_SOURCE_DIR}/assets/trellimo.ico)
  set(MANIFEST_FILE ${PROJECT_SOURCE_DIR}/app/resources/installer.manifest)
  set(resource_source ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/app/resources/installer.rc ${resource_source} @ONLY)
  set_source_files_properties(${resource_source} PROPERTIES OBJECT_DEPENDS "${ICON_FILE};${MANIFEST_FILE}")

  add_executable(${name} WIN32 ${resource_source} ${PROJECT_SOURCE_DIR}/app/program_header.cpp
                 ${PROJECT_SOURCE_DIR}/app/container_failures.cpp
                 ${INSTALLER_HANDLER_TABLE})
  add_dependencies(${name} window_template)
  embed_window_template(${name} ${template_file} ${CONSTANTS_AREA})
  target_link_libraries(${name} PRIVATE installer frame_main)
  target_uses_gbk_texts(${name})
  # Sections laid out in the file as they are in memory, so that the loader can map
  # the image straight from the file rather than read it into private pages: with
  # the payload inside the image, that copy would be ten megabytes at every start.
  target_link_options(${name} PRIVATE -Wl,--file-alignment,4096)
  # Optimised as one program at the link (this comes after the tree's -fno-lto, and
  # the last one given holds). GCC 12 for i686 stops with an internal error
  # (binds_to_current_def_p) when it splits the program into partitions to compile
  # in parallel; the installer is small enough to compile as one.
  target_link_options(${name} PRIVATE $<$<CONFIG:MinSizeRel>:-flto> $<$<CONFIG:MinSizeRel>:-flto-partition=one>)
  installer_links_win32_model_runtime(${name})
endfunction()
