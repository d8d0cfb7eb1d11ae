#include "services/file_commands.h"

#include <windows.h>

#include <cstdio>
#include <span>
#include <string>
#include <utility>

#include "frame/exception_barrier.h"
#include "frame/frame_heap.h"
#include "frame/owned_handle.h"

namespace services {
namespace {

const char* pointer_of(const TypedValue& value) {
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(value.low));
}

// The text of an argument that may be omitted; null when it is.
const char* optional_text(const ServiceArguments& args, uint32_t index) {
  return args.present(index) ? pointer_of(args.at(index)) : nullptr;
}

// Callers pass an empty text, never a null one; a null one is treated alike.
std::string path_text(const ServiceArguments& args, uint32_t index) { return std::string(args.text(index)); }

// Windows neither opens a read-only file for writing nor lets a rename replace it;
// Wine run by root does both, so the attribute itself is asked.
bool is_read_only(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// A target another process holds open without sharing, or one that cannot be written
// at all, fails the call before megabytes are written for nothing. A missing target
// is fine: the temporary file shows whether its folder takes files.
bool target_is_free(const std::string& path) {
  if (is_read_only(path)) return false;
  const frame::OwnedFile probe(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

// The length field is signed for callers: a negative one means no bytes.
std::span<const uint8_t> array_bytes(const TypedValue& value) {
  const std::span<const uint8_t> bytes = frame::byte_array_bytes(pointer_of(value));
  return static_cast<int32_t>(bytes.size()) > 0 ? bytes : std::span<const uint8_t>();
}

// The file the bytes are written to first. Unless it is handed over to replace the
// target, it is deleted when it goes.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path)
      : path_(std::move(path)),
        handle_(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  // The handle goes first: a file still open could not be deleted.
  ~TemporaryFile() {
    handle_.reset();
    if (!replaced_target_) DeleteFileA(path_.c_str());
  }

  bool is_open() const { return static_cast<bool>(handle_); }
  bool write(std::span<const uint8_t> bytes) { return write_all(handle_.get(), bytes); }
  bool close() { return handle_.close(); }
  // Write-through: the rename is on disk before the result says so.
  bool replace(const std::string& target) {
    replaced_target_ =
        MoveFileExA(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    return replaced_target_;
  }

 private:
  std::string path_;
  frame::OwnedFile handle_;
  bool replaced_target_ = false;
};

bool write_arrays(TemporaryFile& file, const ServiceArguments& args) {
  for (uint32_t i = 1; i < args.count(); ++i) {
    if (!file.write(array_bytes(args.at(i)))) return false;
  }
  return true;
}

bool write_file(const std::string& path, const ServiceArguments& args) {
  if (path.empty() || !target_is_free(path)) return false;
  TemporaryFile file(temporary_path_for(path));
  return file.is_open() && write_arrays(file, args) && file.close() && file.replace(path);
}

}  // namespace

TypedValue create_directory_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return TypedValue::of_bool(CreateDirectoryA(path_text(args, 0).c_str(), nullptr) != FALSE);
  });
}

TypedValue write_file_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    return TypedValue::of_bool(write_file(path_text(args, 0), args));
  });
}

TypedValue ini_write_service(uint32_t count, const TypedValue* arguments) {
  return frame::guarded([&]() -> TypedValue {
    const ServiceArguments args(count, arguments);
    const std::string file = path_text(args, 0);
    const std::string section = path_text(args, 1);
    return TypedValue::of_bool(WritePrivateProfileStringA(section.c_str(), optional_text(args, 2),
                                                          optional_text(args, 3), file.c_str()) != FALSE);
  });
}

}  // namespace services
