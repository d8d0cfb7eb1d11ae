#include "services/files.h"

#include <cstdio>
#include <utility>

#include "frame/gbk_wide.h"
#include "frame/owned_handle.h"

namespace services::files {
namespace {

// A path of MAX_PATH characters or more is refused, the \\?\ form included: the
// frame's paths have always stopped there, and a longer one must not reach a
// folder that a path cut short elsewhere would miss.
std::wstring wide_path(const std::string& path) {
  std::wstring wide = frame::wide_from_gbk(path);
  return wide.size() < MAX_PATH ? wide : std::wstring();
}

// Windows neither opens a read-only file for writing nor lets a rename replace it;
// Wine run by root does both, so the attribute itself is asked.
bool is_read_only(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A target another process holds open without sharing, or one that cannot be written
// at all, fails the call before megabytes are written for nothing. A missing target
// is fine: the temporary file shows whether its folder takes files.
bool target_is_free(const std::string& path) {
  if (is_read_only(path)) return false;
  const frame::OwnedFile probe(
      CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe || GetLastError() == ERROR_FILE_NOT_FOUND;
}

// A name beside the target that no other live thread would pick.
std::string temporary_path_for(const std::string& path) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%lx-%lx.part", GetCurrentProcessId(), GetCurrentThreadId());
  return path + suffix;
}

bool write_all(HANDLE file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
      return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

// The file the bytes are written to first. Unless it is handed over to replace the
// target, it is deleted when it goes.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& path)
      : path_(wide_path(path)),
        handle_(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  // The handle goes first: a file still open could not be deleted.
  ~TemporaryFile() {
    handle_.reset();
    if (!replaced_target_) DeleteFileW(path_.c_str());
  }

  bool is_open() const { return static_cast<bool>(handle_); }
  bool write(std::span<const uint8_t> bytes) { return write_all(handle_.get(), bytes); }
  bool close() { return handle_.close(); }
  // Write-through: the rename is on disk before the result says so.
  bool replace(const std::string& target) {
    replaced_target_ = MoveFileExW(path_.c_str(), wide_path(target).c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    return replaced_target_;
  }

 private:
  std::wstring path_;
  frame::OwnedFile handle_;
  bool replaced_target_ = false;
};

}  // namespace

bool create_directory(const std::string& path) { return CreateDirectoryW(wide_path(path).c_str(), nullptr) != FALSE; }

bool write_whole_file(const std::string& path, std::span<const std::span<const uint8_t>> parts) {
  if (path.empty() || !target_is_free(path)) return false;
  TemporaryFile file(temporary_path_for(path));
  if (!file.is_open()) return false;
  for (const std::span<const uint8_t> part : parts) {
    if (!file.write(part)) return false;
  }
  return file.close() && file.replace(path);
}

// A null key or value keeps its meaning: null removes the section or the key.
bool write_ini(const std::string& file, const std::string& section, const char* key, const char* value) {
  const std::wstring wide_key = key != nullptr ? frame::wide_from_gbk(key) : std::wstring();
  const std::wstring wide_value = value != nullptr ? frame::wide_from_gbk(value) : std::wstring();
  return WritePrivateProfileStringW(frame::wide_from_gbk(section).c_str(), key != nullptr ? wide_key.c_str() : nullptr,
                                    value != nullptr ? wide_value.c_str() : nullptr, wide_path(file).c_str()) != FALSE;
}

}  // namespace services::files
