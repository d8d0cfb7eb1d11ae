// The payload as the installer writes it: every file byte for byte the file the
// build embedded, with the catalogue's length, in the catalogue's order.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "files.h"
#include "probe_runner.h"

namespace {

struct CatalogueEntry {
  const char* name;
  size_t length;
};

constexpr CatalogueEntry kCatalogue[] = {
    {"7-zip32.dll", 640512}, {"BASS_VST.dll", 14456}, {"libcurl.dll", 1728512}, {"core.7z", 6768359},
    {"launch.exe", 430080},  {"zlibwapi.dll", 74240}, {"sw.exe", 86824},
};

std::string windows_folder(const std::string& unix_folder) {
  const std::wstring wide = driver::windows_path(unix_folder);
  return std::string(wide.begin(), wide.end());
}

TEST(PayloadFiles, AreWrittenByteForByteAsEmbeddedInCatalogueOrder) {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  const std::string folder = std::string(base) + "PayloadProbe";
  CreateDirectoryA(folder.c_str(), nullptr);
  const driver::ProbeRun run = driver::run_probe("TRELLIMO_PAYLOAD_PROBE", folder);
  ASSERT_EQ(run.exit_code, std::optional<DWORD>(0));

  std::string expected_log;
  const std::string embedded = windows_folder(driver::program_from_environment("TRELLIMO_EMBEDDED_PAYLOAD"));
  for (const CatalogueEntry& entry : kCatalogue) {
    SCOPED_TRACE(entry.name);
    expected_log += std::string(entry.name) + " written\n";
    const std::string written = support::read_file(folder + "\\" + entry.name);
    EXPECT_EQ(written.size(), entry.length);
    EXPECT_TRUE(written == support::read_file(embedded + "\\" + entry.name)) << "differs from the embedded file";
  }
  EXPECT_EQ(run.log, expected_log);
}

}  // namespace
