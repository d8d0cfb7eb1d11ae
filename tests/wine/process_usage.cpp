#include "process_usage.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstring>
#include <vector>

#include "probe_support.h"

namespace probe {
namespace {

// Wine 8's GetProcessHandleCount answers 0, so the handles are counted in the
// system's handle table instead.
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
  ULONG process_id;
  BYTE object_type;
  BYTE flags;
  USHORT value;
  void* object;
  ACCESS_MASK access;
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

DWORD open_handle_count() {
  const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<BYTE> table(1 << 16);
  ULONG needed = 0;
  while (query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()), &needed) ==
         kInfoLengthMismatch) {
    table.resize(table.size() * 2);
  }
  ULONG entries = 0;
  std::memcpy(&entries, table.data(), sizeof entries);
  const auto* entry = reinterpret_cast<const HandleEntry*>(table.data() + sizeof(ULONG));
  DWORD count = 0;
  for (ULONG index = 0; index < entries; ++index) count += entry[index].process_id == GetCurrentProcessId() ? 1 : 0;
  return count;
}

// Wine reports the private commit charge as PagefileUsage and leaves PrivateUsage 0;
// Windows gives the same figure in both.
SIZE_T private_bytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace

void log_usage(const std::string& label) {
  log_line(label + " handles " + std::to_string(open_handle_count()) + " private " + std::to_string(private_bytes()));
}

}  // namespace probe
