#pragma once
// Typed file access, the core of the file services: GBK paths, failures reported
// as false only.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace services::files {

// Creates the last component of the path; false when it exists already or its
// parent is missing.
bool create_directory(const std::string& path);

// The file's whole content becomes `parts` back to back. The bytes go to a
// temporary file in the same folder that replaces the target only once it is
// complete and closed, so a failure (the target held open by another process or
// read-only, a full disk, a missing folder) gives false and leaves the old file as
// it was, with no temporary file behind.
bool write_whole_file(const std::string& path, std::span<const std::span<const uint8_t>> parts);

// Sets key=value in the section; a null value removes the key, a null key the
// whole section.
bool write_ini(const std::string& file, const std::string& section, const char* key, const char* value);

}  // namespace services::files
