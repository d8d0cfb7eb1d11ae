// The installer under repetition: many installations into one folder inside one
// process (twenty in `make test`, two hundred in `make stress`). They must leave exactly one product behind, nothing half written, no
// temporary file and nothing held.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "files.h"
#include "installer_fixture.h"
#include "probe_runner.h"
#include "reliability_summary.h"

namespace installer {
namespace {

constexpr char kStressProbe[] = "TRELLIMO_STRESS_PROBE";
constexpr int kQuickRuns = 20;
constexpr wchar_t kStressTop[] = L"C:\\trellimo-stress";
constexpr wchar_t kStressFolder[] = L"C:\\trellimo-stress\\Trellimo";
// From the tenth run (the probe's warm-up) to the last, the process may gain no more than a handle or
// two that Wine's caches take late, and less memory than one run's shortcut work.
constexpr long kHandleSlack = 2;
constexpr long long kPrivateBytesSlack = 256 * 1024;

struct RunCount {
  int runs = 0;
  int exact = 0;
  int files_damaged = 0;
  std::string others;  // the log lines of runs that were not exact
};

int occurrences(const std::string& text, const std::string& word) {
  int found = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++found;
  return found;
}

RunCount runs_in(const std::vector<std::string>& log) {
  RunCount count;
  for (const std::string& line : log) {
    if (line.rfind("run ", 0) != 0) continue;
    ++count.runs;
    if (line.ends_with(" exact")) {
      ++count.exact;
    } else {
      count.others += line + "\n";
      count.files_damaged += occurrences(line, " content of ");
    }
  }
  return count;
}

void print_usage_lines(const std::vector<std::string>& log) {
  for (const std::string& line : log) {
    if (line.find(" handles ") != std::string::npos) std::printf("stress probe: %s\n", line.c_str());
  }
}

std::wstring temporary_folder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder, length > 0 ? length - 1 : 0);
}

// What a repeated installation leaves, seen from outside: one set of files, the two
// shortcuts, the thirteen values.
void expect_one_product(const std::wstring& folder) {
  expect_payload_installed(folder);
  EXPECT_EQ(names_in(folder), installed_names()) << "no temporary file left behind";
  expect_shortcut(in_folder(folder, L"卸载Pandrel.lnk"), folder, L"--uninst");
  expect_shortcut(in_folder(desktop_folder(), L"Trellimo.lnk"), folder, L"");
  for (const std::wstring& name : names_in(desktop_folder())) {
    EXPECT_TRUE(name == L"Trellimo.lnk" || name.find(L"Trellimo") == std::wstring::npos) << narrow(name);
  }
  EXPECT_EQ(uninstall_values(), registration_of(narrow(folder)));
}

class Repeated : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    forget_installation(kStressTop);
    also_forget(kStressTop);
  }
};

TEST_F(Repeated, ManyInstallsInOneProcessLeaveOneProductAndHoldNothingMore) {
  const int planned_runs = driver::soak_size("TRELLIMO_STRESS_RUNS", kQuickRuns);
  const std::wstring probe_log = L"probe-" + std::to_wstring(planned_runs) + L".log";
  SetEnvironmentVariableW(L"TRELLIMO_STRESS_FOLDER", kStressFolder);
  std::set<std::wstring> temporary_before = names_in(temporary_folder());
  temporary_before.erase(probe_log);
  driver::Probe probe(kStressProbe, std::to_string(planned_runs));
  ASSERT_EQ(probe.process().wait_for_exit(std::chrono::seconds(30 + 3 * planned_runs)), std::optional<DWORD>(0));
  const auto log = support::lines_of(probe.log());
  print_usage_lines(log);

  const RunCount runs = runs_in(log);
  reliability::GroupCount& stress = reliability::group("stress");
  stress.tried += runs.runs;
  stress.survived += runs.exact;
  stress.lost += runs.files_damaged;
  EXPECT_EQ(runs.runs, planned_runs);
  EXPECT_EQ(runs.others, "");
  EXPECT_EQ(driver::usage_growth_beyond(log, "after 10", "after " + std::to_string(planned_runs), kHandleSlack,
                                        kPrivateBytesSlack),
            "");

  expect_one_product(kStressFolder);
  std::set<std::wstring> temporary_after = names_in(temporary_folder());
  temporary_after.erase(probe_log);
  EXPECT_EQ(temporary_after, temporary_before) << "nothing new in the temporary folder but the probe's log";
}

}  // namespace
}  // namespace installer
