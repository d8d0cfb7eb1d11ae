// Replays the real installation again and again in one process: the installer's own
// program header (template, handler table, declared functions, constants), its
// start-up handler once, then its quick-install handler and the install worker that
// handler starts, into the folder named by TRELLIMO_STRESS_FOLDER, as many times as
// the command line says. After every run it logs whether the folder holds exactly
// the product; after the warm-up runs and after the last one, the handles and
// private memory the process holds.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "app/constants.h"
#include "app/handlers.h"
#include "app/installer_program_header.h"
#include "app/installer_state.h"
#include "app/installer_units.h"
#include "app/payload_files.h"
#include "app/unit_groups.h"
#include "files.h"
#include "frame/frame_services.h"
#include "frame/properties.h"
#include "probe_support.h"
#include "process_usage.h"

namespace {

using namespace std::chrono_literals;
using probe::log_line;

// The runs before this many fill Wine's caches (COM, the shell, wshom); growth is
// measured from there.
constexpr int kWarmUpRuns = 10;
constexpr auto kRunTimeout = 60s;

std::string installation_folder() {
  const char* folder = std::getenv("TRELLIMO_STRESS_FOLDER");
  return folder != nullptr ? folder : "";
}

bool unit_visible(uint32_t unit) {
  return frame::read_property(app::kInstallerWindow, unit, frame::kPropertyVisible, -1) != 0;
}

// The window's thread answers the worker's property writes while it waits here.
bool pump_messages_until_finished() {
  const auto deadline = std::chrono::steady_clock::now() + kRunTimeout;
  while (app::installer_state().installing != 0 || !unit_visible(app::unit::kStartButton)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

// Back to the first page with an empty progress bar, as a fresh start shows it.
void show_first_page_again() {
  app::set_group_visibility(app::kFinishPage, false);
  app::set_group_visibility(app::kAgreementRow, true);
  app::set_group_visibility(app::kFirstPage, true);
  frame::write_property(app::kInstallerWindow, app::unit::kProgressFill, frame::kPropertyWidth, -1, 0, 0);
}

bool install_once() {
  show_first_page_again();
  on_quick_install_clicked();
  return pump_messages_until_finished();
}

std::set<std::string> names_in(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
      names.insert(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The names the installer gives the files it writes begin with a backslash.
std::set<std::string> product_names() {
  std::set<std::string> names{app::constant_text(app::kSuffixUninstallShortcut) + 1};
  for (const app::PayloadFile& file : app::payload_files()) names.insert(app::constant_text(file.suffix) + 1);
  return names;
}

bool holds_exactly(const std::string& path, std::span<const uint8_t> content) {
  const std::string bytes = support::read_file(path);
  return support::readable(path) && bytes.size() == content.size() &&
         std::memcmp(bytes.data(), content.data(), content.size()) == 0;
}

// What is wrong with the folder after a run; empty when it holds exactly the
// product's files, each byte for byte its blob, and the uninstall shortcut.
std::string folder_differences(const std::string& folder) {
  std::string differences;
  const std::set<std::string> expected = product_names();
  const std::set<std::string> present = names_in(folder);
  for (const std::string& name : present) {
    if (!expected.contains(name)) differences += " extra " + name + ";";
  }
  for (const std::string& name : expected) {
    if (!present.contains(name)) differences += " missing " + name + ";";
  }
  for (const app::PayloadFile& file : app::payload_files()) {
    const std::string path = folder + app::constant_text(file.suffix);
    if (!holds_exactly(path, app::blob_at(file.blob).content())) differences += " content of " + path + ";";
  }
  return differences;
}

int probe_entry() {
  frame::initialise_frame();
  frame::register_exit_routine(app::release_installer_state);
  frame::load_startup_window(app::kInstallerWindow);
  const std::string folder = installation_folder();
  app::set_installation_folder(folder.c_str());
  const int runs = std::atoi(probe::scenario().c_str());
  for (int run = 1; run <= runs; ++run) {
    if (!install_once()) {
      log_line("run " + std::to_string(run) + " did not reach the finish page");
      return 0;
    }
    const std::string differences = folder_differences(folder);
    log_line("run " + std::to_string(run) + (differences.empty() ? " exact" : " differs:" + differences));
    if (run == kWarmUpRuns || run == runs) probe::log_usage("after " + std::to_string(run));
  }
  return 0;
}

}  // namespace

namespace frame {
const ProgramHeader program_header = app::installer_program_header(probe_entry);
}  // namespace frame
