// The installer bench: our installer beside the NSIS peer and the floors, all under
// one warm wineserver on one display, in one run.
//   installer_bench REPEATS OURS.exe TRIVIAL.exe PAYLOAD_DIR OUT_DIR PEER_STORED.exe PEER_ZLIB.exe PEER_LZMA.exe
// Paths are Linux paths. Writes OUT_DIR/bench.json and OUT_DIR/bench.md and prints
// the table.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <shlobj.h>
#include <string>
#include <vector>

#include "bench_report.h"
#include "desktop_driver.h"
#include "process_watch.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using bench::Clock;
using bench::Metric;
using bench::Milliseconds;
using bench::Series;
using bench::WatchedProcess;

constexpr wchar_t kInstallFolder[] = L"C:\\Program Files (x86)\\Trellimo";
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOWTAN";
constexpr wchar_t kCopyFolder[] = L"C:\\trellimo-bench";
// The install procedure must wait 100 ms after each of its eleven steps.
constexpr double kMandatedWaitsMs = 1100;
constexpr double kMebibyte = 1024.0 * 1024.0;
constexpr double kKibibyte = 1024.0;
constexpr int kPayloadFileCount = 7;

struct Program {
  std::string name;
  fs::path path;
};

struct Run {
  double milliseconds = 0;
  bench::MemoryPeaks memory;
};

[[noreturn]] void fail(const std::string& what) {
  std::cerr << "installer_bench: " << what << "\n";
  std::exit(1);
}

fs::path desktop_shortcut() {
  wchar_t desktop[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
  return fs::path(desktop) / L"Trellimo.lnk";
}

// Every run starts as a first installation.
void remove_installation() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
  std::error_code ignored;
  fs::remove_all(kInstallFolder, ignored);
  fs::remove(desktop_shortcut(), ignored);
}

// A run counts only if it left the product behind: the seven files and the key.
void check_installation(const std::string& who) {
  std::error_code error;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(kInstallFolder, error)) files += entry.is_regular_file() ? 1 : 0;
  HKEY key = nullptr;
  const bool registered = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (key) RegCloseKey(key);
  // The payload files plus the uninstall shortcut.
  if (files < kPayloadFileCount + 1 || !registered) fail(who + " did not install the product");
}

std::optional<Run> first_paint(const fs::path& program, const std::wstring& arguments) {
  WatchedProcess process(program.wstring(), arguments);
  if (!process.started()) return std::nullopt;
  const std::optional<Milliseconds> painted = process.wait_for_first_paint(30s);
  process.end();
  if (!painted) return std::nullopt;
  return Run{painted->count(), process.memory_peaks()};
}

// Clicks the quick-install button until it takes (a window that has only just
// appeared may miss a click) and times the click that did to the finish page.
std::optional<double> time_quick_install(WatchedProcess& process, HWND quick_install, HWND start_button) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const Clock::time_point clicked = Clock::now();
    driver::click(quick_install);
    if (!bench::poll_until(process, 1s, [&] { return !IsWindowVisible(quick_install); })) continue;
    Clock::time_point finished;
    const bool done = bench::poll_until(process, 60s, [&] {
      finished = Clock::now();
      return IsWindowVisible(start_button) != FALSE;
    });
    if (!done) return std::nullopt;
    return Milliseconds(finished - clicked).count();
  }
  return std::nullopt;
}

std::optional<Run> our_install(const fs::path& setup) {
  remove_installation();
  WatchedProcess process(setup.wstring(), L"");
  HWND window = nullptr;
  bench::poll_until(process, 30s, [&] { return (window = driver::wait_for_window(process.id(), L"kowtan", 0ms)); });
  if (window == nullptr) return std::nullopt;
  HWND quick_install = driver::unit_at(window, 260, 344);
  HWND start_button = driver::unit_at(window, 260, 416);
  if (!bench::poll_until(process, 10s, [&] { return IsWindowVisible(quick_install) != FALSE; })) return std::nullopt;
  const std::optional<double> install_ms = time_quick_install(process, quick_install, start_button);
  PostMessageW(window, WM_CLOSE, 0, 0);
  process.wait_for_exit(30s);
  process.end();
  if (!install_ms) return std::nullopt;
  check_installation("our installer");
  return Run{*install_ms - kMandatedWaitsMs, process.memory_peaks()};
}

std::optional<Run> peer_silent_install(const fs::path& peer) {
  remove_installation();
  WatchedProcess process(peer.wstring(), std::wstring(L"/S /D=") + kInstallFolder);
  const std::optional<DWORD> code = process.wait_for_exit(60s);
  const double elapsed = Milliseconds(Clock::now() - process.start_time()).count();
  process.end();
  if (code != std::optional<DWORD>(0)) return std::nullopt;
  check_installation("the peer");
  return Run{elapsed, process.memory_peaks()};
}

// The floor of an installation: the payload copied file by file within drive C:.
void stage_payload(const fs::path& payload) {
  const fs::path source = fs::path(kCopyFolder) / L"source";
  fs::remove_all(kCopyFolder);
  fs::create_directories(source);
  for (const auto& entry : fs::directory_iterator(payload)) fs::copy_file(entry.path(), source / entry.path().filename());
}

double copy_payload() {
  const fs::path source = fs::path(kCopyFolder) / L"source";
  const fs::path target = fs::path(kCopyFolder) / L"copy";
  fs::remove_all(target);
  const std::vector<fs::path> files{fs::directory_iterator(source), fs::directory_iterator()};
  const Clock::time_point start = Clock::now();
  CreateDirectoryW(target.c_str(), nullptr);
  for (const fs::path& file : files) {
    if (!CopyFileW(file.c_str(), (target / file.filename()).c_str(), FALSE)) fail("cannot copy the payload");
  }
  return Milliseconds(Clock::now() - start).count();
}

double payload_bytes(const fs::path& payload) {
  double total = 0;
  for (const auto& entry : fs::directory_iterator(payload)) total += static_cast<double>(entry.file_size());
  return total;
}

// How much of a program's private memory is its own image. Wine maps an image
// whose sections lie in the file at page boundaries straight from the file, where
// it takes no private memory; any other it reads into private pages, all
// SizeOfImage of them.
double private_image_bytes(const fs::path& program) {
  std::ifstream in(program, std::ios::binary);
  IMAGE_DOS_HEADER dos = {};
  IMAGE_NT_HEADERS32 nt = {};
  if (!in.read(reinterpret_cast<char*>(&dos), sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
      !in.seekg(dos.e_lfanew) || !in.read(reinterpret_cast<char*>(&nt), sizeof nt) ||
      nt.Signature != IMAGE_NT_SIGNATURE) {
    fail("not a 32-bit PE image: " + program.string());
  }
  constexpr DWORD kPageSize = 4096;
  return nt.OptionalHeader.FileAlignment % kPageSize == 0 ? 0.0 : nt.OptionalHeader.SizeOfImage;
}

template <typename Measure>
void measure_into(Series& series, int repeat, Measure measure, std::vector<bench::MemoryPeaks>* memory = nullptr) {
  std::cerr << "  " << series.name << " run " << repeat + 1 << "\n";
  const std::optional<Run> run = measure();
  if (!run) fail(series.name + ": run " + std::to_string(repeat + 1) + " failed");
  series.samples.push_back(run->milliseconds);
  if (memory) memory->push_back(run->memory);
}

struct MemorySeries {
  Series private_mib;
  Series private_beyond_image_mib;
  Series working_set_mib;
};

MemorySeries memory_series(const std::string& name, const std::vector<bench::MemoryPeaks>& runs, double image) {
  MemorySeries series{{name, {}}, {name, {}}, {name, {}}};
  for (const bench::MemoryPeaks& peaks : runs) {
    series.private_mib.samples.push_back(static_cast<double>(peaks.private_bytes) / kMebibyte);
    series.private_beyond_image_mib.samples.push_back((static_cast<double>(peaks.private_bytes) - image) / kMebibyte);
    series.working_set_mib.samples.push_back(static_cast<double>(peaks.working_set_bytes) / kMebibyte);
  }
  return series;
}

struct Measurements {
  Series first_paint;
  std::vector<Series> peer_first_paint;
  Series trivial_first_paint{"trivial window", {}};
  Series install;
  std::vector<Series> peer_install;
  Series copy{"payload copy within C:", {}};
  std::vector<bench::MemoryPeaks> memory;
  std::vector<std::vector<bench::MemoryPeaks>> peer_memory;
  std::vector<bench::MemoryPeaks> trivial_memory;
};

Measurements measure(int repeats, const Program& ours, const fs::path& trivial, const std::vector<Program>& peers) {
  Measurements m;
  m.first_paint.name = m.install.name = ours.name;
  for (const Program& peer : peers) {
    m.peer_first_paint.push_back({peer.name, {}});
    m.peer_install.push_back({peer.name, {}});
  }
  m.peer_memory.resize(peers.size());
  // One untimed start of each program first, so that no series pays for the
  // first load of its libraries into Wine and the page cache.
  std::cerr << "warming up\n";
  first_paint(trivial, L"");
  first_paint(ours.path, L"");
  for (const Program& peer : peers) first_paint(peer.path, L"");
  std::cerr << "first paint\n";
  for (int r = 0; r < repeats; ++r) {
    measure_into(m.trivial_first_paint, r, [&] { return first_paint(trivial, L""); }, &m.trivial_memory);
    measure_into(m.first_paint, r, [&] { return first_paint(ours.path, L""); });
    for (size_t p = 0; p < peers.size(); ++p) {
      measure_into(m.peer_first_paint[p], r, [&] { return first_paint(peers[p].path, L""); });
    }
  }
  std::cerr << "installation\n";
  for (int r = 0; r < repeats; ++r) {
    measure_into(m.install, r, [&] { return our_install(ours.path); }, &m.memory);
    for (size_t p = 0; p < peers.size(); ++p) {
      measure_into(m.peer_install[p], r, [&] { return peer_silent_install(peers[p].path); }, &m.peer_memory[p]);
    }
    measure_into(m.copy, r, [] { return std::optional<Run>(Run{copy_payload(), {}}); });
  }
  remove_installation();
  return m;
}

bool below_every_peer(double ours, const std::vector<Series>& peers) {
  for (const Series& peer : peers) {
    if (ours >= bench::median_of(peer)) return false;
  }
  return true;
}

std::vector<Metric> memory_metrics(const Measurements& m, const Program& ours, const fs::path& trivial,
                                   const std::vector<Program>& peers) {
  const MemorySeries our_memory = memory_series(ours.name, m.memory, private_image_bytes(ours.path));
  const MemorySeries floor = memory_series("trivial window", m.trivial_memory, private_image_bytes(trivial));
  std::vector<MemorySeries> peer_memory;
  for (size_t p = 0; p < peers.size(); ++p) {
    peer_memory.push_back(memory_series(peers[p].name, m.peer_memory[p], private_image_bytes(peers[p].path)));
  }
  auto peers_of = [&](Series MemorySeries::*which) {
    std::vector<Series> out;
    for (const MemorySeries& series : peer_memory) out.push_back(series.*which);
    return out;
  };
  Metric private_memory{"peak private memory", "MiB", our_memory.private_mib, peers_of(&MemorySeries::private_mib),
                        floor.private_mib, "none of its own", true};
  Metric beyond_image{"peak private memory beyond the mapped image",
                      "MiB",
                      our_memory.private_beyond_image_mib,
                      peers_of(&MemorySeries::private_beyond_image_mib),
                      floor.private_beyond_image_mib,
                      "ours ≤ 8 MiB",
                      bench::median_of(our_memory.private_beyond_image_mib) <= 8.0};
  Metric working_set{"peak working set", "MiB", our_memory.working_set_mib, peers_of(&MemorySeries::working_set_mib),
                     floor.working_set_mib, "none of its own", true};
  return {private_memory, beyond_image, working_set};
}

Metric size_metric(const Program& ours, const std::vector<Program>& peers, double payload) {
  auto beyond_payload = [&](const Program& program) {
    return Series{program.name, {(static_cast<double>(fs::file_size(program.path)) - payload) / kKibibyte}};
  };
  Metric size{"executable size beyond the payload", "KiB", beyond_payload(ours), {}, std::nullopt,
              "ours ≤ 600 KiB", false};
  for (const Program& peer : peers) size.peers.push_back(beyond_payload(peer));
  size.target_met = size.ours.samples.front() <= 600.0;
  return size;
}

std::vector<Metric> metrics_of(const Measurements& m, const Program& ours, const fs::path& trivial,
                               const std::vector<Program>& peers, double payload) {
  const double first_paint = bench::median_of(m.first_paint);
  Metric paint{"first paint from process start", "ms", m.first_paint, m.peer_first_paint, m.trivial_first_paint,
               "ours ≤ 1.2 × floor and below every peer",
               first_paint <= 1.2 * bench::median_of(m.trivial_first_paint) &&
                   below_every_peer(first_paint, m.peer_first_paint)};
  Metric install{"install time (ours: click to finish page less the 1.1 s of waits; peers: whole silent run)",
                 "ms",
                 m.install,
                 m.peer_install,
                 m.copy,
                 "ours ≤ 1.5 × floor",
                 bench::median_of(m.install) <= 1.5 * bench::median_of(m.copy)};
  std::vector<Metric> metrics{paint, install};
  for (Metric& metric : memory_metrics(m, ours, trivial, peers)) metrics.push_back(std::move(metric));
  metrics.push_back(size_metric(ours, peers, payload));
  return metrics;
}

void write_text(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  if (!out.write(text.data(), static_cast<std::streamsize>(text.size()))) fail("cannot write " + path.string());
}

fs::path windows_path(const char* unix_path) { return fs::path(driver::windows_path(unix_path)); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 9) {
    std::cerr << "usage: installer_bench REPEATS OURS TRIVIAL PAYLOAD_DIR OUT_DIR PEER_STORED PEER_ZLIB PEER_LZMA\n";
    return 2;
  }
  const int repeats = std::atoi(argv[1]);
  if (repeats < 1) fail("REPEATS must be at least 1");
  const Program ours{"ours", windows_path(argv[2])};
  const fs::path trivial = windows_path(argv[3]);
  const fs::path payload = windows_path(argv[4]);
  const fs::path out = windows_path(argv[5]);
  const std::vector<Program> peers{{"NSIS stored", windows_path(argv[6])},
                                   {"NSIS zlib", windows_path(argv[7])},
                                   {"NSIS LZMA (solid)", windows_path(argv[8])}};
  stage_payload(payload);
  const Measurements measured = measure(repeats, ours, trivial, peers);
  const std::vector<Metric> metrics = metrics_of(measured, ours, trivial, peers, payload_bytes(payload));
  fs::remove_all(kCopyFolder);
  write_text(out / "bench.json", bench::metrics_json(metrics, repeats));
  const std::string table = bench::metrics_table(metrics);
  write_text(out / "bench.md", table);
  std::cout << table;
  return 0;
}
