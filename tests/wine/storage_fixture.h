#pragma once
// What the storage probe and its driver agree on: where the registry scenarios
// work, where the file scenarios find their folder, and the payload they compare.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace storage {

// Under HKEY_CURRENT_USER unless a scenario says otherwise.
constexpr char kTestKey[] = "Software\\TrellimoStorageTests";
// The hive under HKEY_USERS that root 5 writes into.
constexpr char kUsersHive[] = ".DEFAULT";
// A value directly under HKEY_CURRENT_USER, for paths without a backslash.
constexpr char kRootValueName[] = "TrellimoStorageRootValue";
// The folder (a Windows path, no trailing backslash) a file scenario works in.
constexpr char kFolderVariable[] = "TRELLIMO_STORAGE_FOLDER";
// Referred to by the REG_EXPAND_SZ value the read scenario reads.
constexpr char kExpandVariable[] = "TRELLIMO_STORAGE_EXPANDED";

// Payload-sized contents; a pattern that repeats nowhere near its length, so a
// misplaced or missing block shows.
inline std::vector<uint8_t> payload_bytes(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 0x2545F491;
  for (uint8_t& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

constexpr size_t kPayloadSize = 3 * 1024 * 1024 + 17;
// More than the 1 MiB drive of the full-drive scenario can hold.
constexpr size_t kOversizedPayloadSize = 2 * 1024 * 1024;

}  // namespace storage
