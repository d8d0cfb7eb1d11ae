// A program on the frame whose entry routine calls the registry, file and INI
// services in one scenario, named on its command line, and logs their results to the
// file named by TRELLIMO_PROBE_LOG. The storage tests prepare the registry and the
// files beforehand and check what the services left behind themselves.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "frame/frame_services.h"
#include "frame/program_header.h"
#include "probe_header.h"
#include "probe_support.h"
#include "services/file_commands.h"
#include "services/registry_commands.h"
#include "services/service_call.h"
#include "storage_fixture.h"

namespace {

using frame::TypedValue;
using services::call_service;
using services::omitted;

constexpr int32_t kCurrentUser = 3;

// The layout a byte array argument points at: u32 1, u32 length, the bytes.
class ByteArray {
 public:
  explicit ByteArray(const std::vector<uint8_t>& bytes, int32_t length) : block_(8 + bytes.size()) {
    const uint32_t dimensions = 1;
    std::memcpy(block_.data(), &dimensions, 4);
    std::memcpy(block_.data() + 4, &length, 4);
    std::memcpy(block_.data() + 8, bytes.data(), bytes.size());
  }
  explicit ByteArray(const std::vector<uint8_t>& bytes) : ByteArray(bytes, static_cast<int32_t>(bytes.size())) {}
  explicit ByteArray(const std::string& text) : ByteArray(std::vector<uint8_t>(text.begin(), text.end())) {}

  TypedValue value() const {
    return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block_.data())), 0, frame::kTypeByteArray};
  }

 private:
  std::vector<uint8_t> block_;
};

std::string in_test_key(const std::string& name) { return std::string(storage::kTestKey) + "\\" + name; }

std::string in_folder(const std::string& name) {
  const char* folder = std::getenv(storage::kFolderVariable);
  return std::string(folder ? folder : "") + "\\" + name;
}

void log_logical(const std::string& label, const TypedValue& result) {
  if (result.type != frame::kTypeBool) return probe::log_line(label + " not a logical");
  probe::log_line(label + (result.low != 0 ? " true" : " false"));
}

void log_text(const std::string& label, const TypedValue& result) {
  if (result.type != frame::kTypeText) return probe::log_line(label + " not a text");
  const services::OwnedText text = services::take_text(result);
  probe::log_line(label + (text ? " [" + std::string(text.get()) + "]" : " null"));
}

void read_with_and_without_default(const std::string& name) {
  const std::string path = in_test_key(name);
  log_text(name + " with default",
           call_service(services::registry_read_text_service, kCurrentUser, path.c_str(), "fallback"));
  log_text(name + " without default", call_service(services::registry_read_text_service, kCurrentUser, path.c_str()));
}

void read_texts() {
  for (const char* name : {"text", "empty", "expandable", "number", "binary", "missing", "NoSuchKey\\text", ""})
    read_with_and_without_default(name);
  log_text("root value", call_service(services::registry_read_text_service, kCurrentUser, storage::kRootValueName));
  log_text("text under root 99",
           call_service(services::registry_read_text_service, 99, in_test_key("text").c_str(), omitted));
  log_text("text under root 4",
           call_service(services::registry_read_text_service, 4, in_test_key("text").c_str(), "not here"));
}

void existence() {
  for (const char* name : {"text", "number", "missing", "NoSuchKey\\text", ""}) {
    const std::string path = in_test_key(name);
    log_logical(name, call_service(services::registry_exists_service, kCurrentUser, path.c_str()));
  }
}

void log_write(const std::string& label, int32_t root, const std::string& path, const TypedValue& value) {
  log_logical(label, call_service(services::registry_write_service, root, path.c_str(), value));
}

void write_values() {
  const ByteArray binary(std::vector<uint8_t>{1, 2, 3, 0, 255});
  log_write("text", kCurrentUser, in_test_key("text"), services::text_value("hello"));
  log_write("empty text", kCurrentUser, in_test_key("empty"), services::text_value(""));
  log_write("integer", kCurrentUser, in_test_key("integer"), TypedValue::of_int(0x12345678));
  log_write("double", kCurrentUser, in_test_key("double"), TypedValue::of_double(-2.9));
  log_write("byte", kCurrentUser, in_test_key("byte"), {200, 0, frame::kTypeByte});
  log_write("binary", kCurrentUser, in_test_key("binary"), binary.value());
  log_write("logical", kCurrentUser, in_test_key("logical"), TypedValue::of_bool(true));
  log_write("omitted", kCurrentUser, in_test_key("omitted"), TypedValue{});
  log_write("nested", kCurrentUser, in_test_key("a\\b\\c\\value"), services::text_value("deep"));
  log_write("default value", kCurrentUser, in_test_key(""), services::text_value("default"));
  // 乗 (0x81 0x5C): its trail byte is a backslash that must not split the path.
  log_write("double-byte name", kCurrentUser, in_test_key("\x81\x5CName"), services::text_value("dbcs"));
  log_write("no backslash", kCurrentUser, storage::kRootValueName, services::text_value("at the root"));
}

// Each root number writes its own name; the driver looks for it under each root.
// HKEY_USERS holds only hives, so its value goes into the default user's.
void write_roots() {
  for (int32_t root : {0, 1, 2, 3, 4, 5, 6, -1, 99}) {
    const std::string name = "root " + std::to_string(root);
    const std::string path = (root == 5 ? std::string(storage::kUsersHive) + "\\" : std::string()) + in_test_key(name);
    log_write(name, root, path, TypedValue::of_int(root));
  }
}

void log_file_write(const std::string& label, const TypedValue* arrays, size_t count, const std::string& path) {
  std::vector<TypedValue> arguments{services::text_value(path.c_str())};
  arguments.insert(arguments.end(), arrays, arrays + count);
  arguments.push_back({});
  log_logical(label, services::write_file_service(static_cast<uint32_t>(count + 1), arguments.data()));
}

void write_payload(size_t size) {
  const ByteArray payload(storage::payload_bytes(size));
  const TypedValue value = payload.value();
  log_file_write("payload", &value, 1, in_folder("payload.bin"));
}

void write_pieces() {
  const ByteArray first("abc"), nothing(""), negative(std::vector<uint8_t>{'x'}, -1), second("defg");
  const TypedValue pieces[] = {first.value(), nothing.value(), negative.value(), second.value()};
  log_file_write("pieces", pieces, std::size(pieces), in_folder("pieces.txt"));
}

void write_empty_array() {
  const ByteArray nothing("");
  const TypedValue value = nothing.value();
  log_file_write("empty array", &value, 1, in_folder("empty.bin"));
}

void write_path_only() { log_file_write("path only", nullptr, 0, in_folder("old.txt")); }

void write_empty_path() {
  const ByteArray bytes("abc");
  const TypedValue value = bytes.value();
  log_file_write("empty path", &value, 1, "");
}

void write_into_missing_folder() {
  const ByteArray bytes("abc");
  const TypedValue value = bytes.value();
  log_file_write("missing folder", &value, 1, in_folder("missing\\file.txt"));
}

void write_held_file() {
  const ByteArray bytes("new content");
  const TypedValue value = bytes.value();
  log_file_write("held file", &value, 1, in_folder("held.txt"));
}

void create_directories() {
  const std::string fresh = in_folder("fresh");
  log_logical("new", call_service(services::create_directory_service, fresh.c_str()));
  log_logical("existing", call_service(services::create_directory_service, fresh.c_str()));
  log_logical("missing parent", call_service(services::create_directory_service, in_folder("missing\\child").c_str()));
}

void ini_section_removal() {
  const std::string file = in_folder("Config.ini");
  log_logical("remove section", call_service(services::ini_write_service, file.c_str(), "user"));
}

void ini_key_writes() {
  const std::string file = in_folder("Config.ini");
  log_logical("remove key", call_service(services::ini_write_service, file.c_str(), "audio", "volume"));
  log_logical("set key", call_service(services::ini_write_service, file.c_str(), "audio", "device", "mic 2"));
  log_logical("new section", call_service(services::ini_write_service, file.c_str(), "added", "key", "value"));
}

const probe::Scenario kScenarios[] = {
    {"read-texts", read_texts},
    {"existence", existence},
    {"write-values", write_values},
    {"write-roots", write_roots},
    {"write-payload", [] { write_payload(storage::kPayloadSize); }},
    {"write-oversized-payload", [] { write_payload(storage::kOversizedPayloadSize); }},
    {"write-pieces", write_pieces},
    {"write-empty-array", write_empty_array},
    {"write-path-only", write_path_only},
    {"write-empty-path", write_empty_path},
    {"write-into-missing-folder", write_into_missing_folder},
    {"write-held-file", write_held_file},
    {"create-directories", create_directories},
    {"ini-section-removal", ini_section_removal},
    {"ini-key-writes", ini_key_writes},
};

}  // namespace

namespace frame {

const ProgramHeader program_header = probe::header_with_template(probe::play_scenarios_entry<kScenarios>);

}  // namespace frame
