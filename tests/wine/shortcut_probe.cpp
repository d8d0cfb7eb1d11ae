// A program on the frame, with the installer's declared-function table, that makes
// shortcuts through the installer's routine and drives the automation services
// against Wine's real WshShell server. It plays the scenario named on its command
// line in the folder named by TRELLIMO_SHORTCUT_FOLDER and logs what it saw to the
// file named by TRELLIMO_PROBE_LOG; the shortcut tests read the files it wrote.
#include <windows.h>
// After windows.h, which they need.
#include <oaidl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>

#include "app/shortcuts.h"
#include "frame/frame_services.h"
#include "probe_header.h"
#include "probe_support.h"
#include "process_usage.h"
#include "services/com_object.h"
#include "services/object_variable.h"
#include "services/service_call.h"

namespace {

using frame::TypedValue;
using probe::log_line;
using services::call_service;
using services::ObjectVariable;

// The installer's declared functions, at the installer's indexes.
const char* const kLibraries[] = {"shell32.dll", "kernel32.dll", "ole32.dll",   "ole32.dll",
                                  "shlwapi.dll", "shell32.dll",  "shell32.dll", "shell32.dll"};
const char* const kFunctions[] = {"ShellExecuteW",      "CreateThread",        "CoInitialize",
                                  "CoUninitialize",     "PathFindExtensionW",  "SHGetSpecialFolderPathW",
                                  "SHBrowseForFolderW", "SHGetPathFromIDListW"};
static_assert(std::size(kLibraries) == std::size(kFunctions));

// WshShell's class id, as wshom registers it.
constexpr char kWshShellClassId[] = "{72C24DD5-D70A-438B-8A42-98424B88AFB8}";
constexpr int32_t kShowMaximized = 3;

std::string folder() {
  const char* value = std::getenv("TRELLIMO_SHORTCUT_FOLDER");
  return value != nullptr ? value : "";
}

std::string in_folder(const std::string& name) { return folder() + "\\" + name; }

// Runs `work` on a thread of its own, as the installer's worker runs make shortcut,
// and says whether COM was left uninitialised there afterwards.
void on_worker_thread(const std::function<void()>& work) {
  std::thread worker([&work] {
    work();
    const HRESULT initialised = CoInitialize(nullptr);
    log_line(initialised == S_OK ? "COM balanced on the worker" : "COM left initialised on the worker");
    if (SUCCEEDED(initialised)) CoUninitialize();
  });
  worker.join();
}

void log_made(const std::string& label, bool made) { log_line(label + (made ? " made" : " not made")); }

void installer_shortcuts() {
  on_worker_thread([] {
    const std::string target = in_folder("launch.exe");
    const std::string icon = target + ",0";
    app::ShortcutDetails uninstall{"--uninst", icon.c_str(), 1, "Trellimo", ""};
    log_made("uninstall", app::make_shortcut(in_folder("卸载Pandrel.lnk").c_str(), target.c_str(), uninstall));
    app::ShortcutDetails desktop{"", icon.c_str(), 1, "Trellimo", ""};
    log_made("desktop", app::make_shortcut(in_folder("Trellimo.lnk").c_str(), target.c_str(), desktop));
  });
}

// Targets whose icon make shortcut chooses itself, and one without a folder.
void chosen_icons() {
  on_worker_thread([] {
    log_made("no extension",
             app::make_shortcut(in_folder("bare.lnk").c_str(), in_folder("launch").c_str(), app::ShortcutDetails{}));
    app::ShortcutDetails maximized;
    maximized.window_style = kShowMaximized;
    log_made("with extension",
             app::make_shortcut(in_folder("plain.lnk").c_str(), in_folder("launch.exe").c_str(), maximized));
    log_made("no folder", app::make_shortcut(in_folder("nofolder.lnk").c_str(), "launch.exe", app::ShortcutDetails{}));
  });
}

void folder_texts() {
  const services::OwnedText with = app::folder_of_path("C:\\a\\b\\launch.exe");
  const services::OwnedText without = app::folder_of_path("launch.exe");
  log_line("folder of path [" + std::string(services::text_of(with)) + "]");
  log_line("folder of bare name [" + std::string(services::text_of(without)) + "]");
  const std::optional<std::string> desktop = app::desktop_folder_path();
  log_line(desktop ? "desktop [" + *desktop + "]" : std::string("desktop not usable"));
}

// ---- the automation services directly ----

std::string error_text() { return std::to_string(services::last_automation_error()); }

bool open_shortcut(ObjectVariable& variable, const std::string& file) {
  if (call_service(services::create_object_service, variable.value(), "WshShell", "wshom.ocx").low == 0) return false;
  variable.assign(call_service(services::object_method_service, variable.value(), "CreateShortcut", file.c_str()));
  return !variable.empty();
}

// Forwards to the real shortcut object and notes the VARIANT types each call carries.
class RecordingDispatch final : public IDispatch {
 public:
  explicit RecordingDispatch(IDispatch* inner) : inner_(inner) {}
  ~RecordingDispatch() { inner_->Release(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override {
    std::string seen = "invoke flags " + std::to_string(flags) + " types";
    for (UINT index = 0; index < parameters->cArgs; ++index)
      seen.append(" ").append(std::to_string(V_VT(&parameters->rgvarg[index])));
    for (UINT index = 0; index < parameters->cNamedArgs; ++index) {
      seen.append(" named ").append(std::to_string(parameters->rgdispidNamedArgs[index]));
    }
    log_line(seen);
    return inner_->Invoke(id, iid, lcid, flags, parameters, result, exception, argument_error);
  }

 private:
  IDispatch* inner_;
  LONG references_ = 1;
};

// The shortcut object in `variable` swapped for a recorder in front of it.
void record_calls_of(ObjectVariable& variable) {
  IDispatch* inner = nullptr;
  variable.record().object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&inner));
  variable.record().object->Release();
  variable.record().object = new RecordingDispatch(inner);
}

void log_write(const std::string& label, const TypedValue& written) {
  log_line(label + (written.low != 0 ? " true" : " false") + " error " + error_text());
}

void property_values() {
  CoInitialize(nullptr);
  {
    ObjectVariable shortcut;
    log_line(open_shortcut(shortcut, in_folder("values.lnk")) ? "shortcut object" : "no shortcut object");
    record_calls_of(shortcut);
    log_write("text", call_service(services::write_property_service, shortcut.value(), "Description", "说明"));
    log_write("integer", call_service(services::write_property_service, shortcut.value(), "WindowStyle", 7));
    log_write("integer into text", call_service(services::write_property_service, shortcut.value(), "Arguments", 42));
    log_write("text into integer",
              call_service(services::write_property_service, shortcut.value(), "WindowStyle", "3"));
    log_write("two values", call_service(services::write_property_service, shortcut.value(), "Description", "a", "b"));
    log_write("trailing omitted", call_service(services::write_property_service, shortcut.value(), "TargetPath",
                                               in_folder("launch.exe").c_str(), services::omitted));
    log_write("hot key", call_service(services::write_property_service, shortcut.value(), "Hotkey", "Ctrl+Alt+T"));
    log_write("unknown name", call_service(services::write_property_service, shortcut.value(), "NoSuchProperty", 1));
    shortcut.assign(call_service(services::object_method_service, shortcut.value(), "Save"));
    log_line(std::string(shortcut.empty() ? "save gave an empty object" : "save gave an object") + " error " +
             error_text());
  }
  CoUninitialize();
}

void creation_paths() {
  CoInitialize(nullptr);
  {
    ObjectVariable shell;
    log_write("by class id with a missing library",
              call_service(services::create_object_service, shell.value(), kWshShellClassId, "no-such-library.tlb"));
    log_line(shell.empty() ? "class id: empty" : "class id: object");
    ObjectVariable other;
    log_write("by name with a missing library",
              call_service(services::create_object_service, other.value(), "WshShell", "no-such-library.tlb"));
    log_line(other.empty() ? "missing library: empty" : "missing library: object");
  }
  CoUninitialize();
}

void errors_per_thread() {
  ObjectVariable empty;
  log_write("main empty object", call_service(services::write_property_service, empty.value(), "Description", "x"));
  std::thread worker([] {
    log_line("worker before any dispatch " + error_text());
    CoInitialize(nullptr);
    {
      ObjectVariable shortcut;
      open_shortcut(shortcut, in_folder("thread.lnk"));
      log_write("worker", call_service(services::write_property_service, shortcut.value(), "Description", "y"));
    }
    CoUninitialize();
  });
  worker.join();
  log_line("main after the worker " + error_text());
}

// ---- leaks ----

void make_many(int count, const std::string& target) {
  const std::string file = in_folder("many.lnk");
  const app::ShortcutDetails details{"--uninst", nullptr, 1, "Trellimo", ""};
  for (int made = 0; made < count; ++made) app::make_shortcut(file.c_str(), target.c_str(), details);
}

// The first 200 fill Wine's caches; the driver names the total.
void many_shortcuts() {
  constexpr int kWarmUp = 200;
  const char* total_text = std::getenv("TRELLIMO_STRESS_SHORTCUTS");
  const int total = std::max(kWarmUp, total_text != nullptr ? std::atoi(total_text) : 0);
  std::thread worker([total] {
    const std::string target = in_folder("launch.exe");
    make_many(kWarmUp, target);
    probe::log_usage("after 200");
    make_many(total - kWarmUp, target);
    probe::log_usage("after " + std::to_string(total));
  });
  worker.join();
}

constexpr probe::Scenario kScenarios[] = {
    {"installer-shortcuts", installer_shortcuts},
    {"chosen-icons", chosen_icons},
    {"folder-texts", folder_texts},
    {"property-values", property_values},
    {"creation-paths", creation_paths},
    {"errors-per-thread", errors_per_thread},
    {"many-shortcuts", many_shortcuts},
};

}  // namespace

namespace frame {

const ProgramHeader program_header = probe::header_without_template(probe::play_scenarios_entry<kScenarios>,
                                                                    std::size(kFunctions), kLibraries, kFunctions);

}  // namespace frame
