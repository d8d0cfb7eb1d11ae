// What an installer that runs elevated from a downloads folder must not do: load a
// library, or read a file, that anyone could have put beside it or in the folder it
// was started from. And it must ask for those rights in its manifest.
#include <cctype>
#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "files.h"
#include "installer_fixture.h"
#include "reliability_summary.h"

namespace installer {
namespace {

// Impostors under the names of the libraries the installer's code and the frame
// use, and of the type library its shortcuts are made through. A library among them
// that is loaded leaves "<name>.loaded" beside itself; a type library read in place of
// the system's has no WshShell, so no shortcut could be made.
constexpr const wchar_t* kPlantedNames[] = {L"shell32.dll",  L"ole32.dll", L"shlwapi.dll",
                                            L"kernel32.dll", L"winmm.dll", L"wshom.ocx"};
// The libraries Windows 10 takes from the system directory whoever asks for them and
// wherever a file of the same name lies (its KnownDLLs list), as far as a program
// like this may import them.
const std::set<std::string> kKnownLibraries = {"ADVAPI32.DLL", "COMBASE.DLL",  "COMDLG32.DLL", "GDI32.DLL",
                                               "GDIPLUS.DLL",  "IMM32.DLL",    "KERNEL32.DLL", "MSVCRT.DLL",
                                               "OLE32.DLL",    "OLEAUT32.DLL", "PSAPI.DLL",    "RPCRT4.DLL",
                                               "SHELL32.DLL",  "SHLWAPI.DLL",  "USER32.DLL",   "WS2_32.DLL"};
constexpr wchar_t kWineSettings[] = L"Software\\Wine\\AppDefaults\\";

std::wstring built_file(const char* variable) {
  return driver::windows_path(driver::program_from_environment(variable));
}

std::wstring scratch_folder(const wchar_t* purpose) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"trellimo-" + purpose + L"-" + std::to_wstring(GetCurrentProcessId());
}

// A folder holding the impostors, and what each held when it was laid down.
class PlantedFolder {
 public:
  explicit PlantedFolder(std::wstring folder) : folder_(std::move(folder)) {
    remove_tree(folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::string impostor = support::read_file(built_file("TRELLIMO_PLANTED_LIBRARY"));
    for (const wchar_t* name : kPlantedNames) write_file(path(name), impostor);
  }
  ~PlantedFolder() { remove_tree(folder_); }
  PlantedFolder(const PlantedFolder&) = delete;
  PlantedFolder& operator=(const PlantedFolder&) = delete;

  const std::wstring& folder() const { return folder_; }
  std::wstring path(const wchar_t* name) const { return in_folder(folder_, name); }
  bool loaded(const wchar_t* name) const { return file_exists(path(name) + L".loaded"); }

 private:
  std::wstring folder_;
};

// The calling process's current folder, for as long as this lives.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& folder) {
    wchar_t previous[MAX_PATH + 1];
    GetCurrentDirectoryW(MAX_PATH + 1, previous);
    previous_ = previous;
    SetCurrentDirectoryW(folder.c_str());
  }
  ~CurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::wstring previous_;
};

// Wine prefers its own builtin system libraries to a file of the same name, which
// would hide a loader that looks beside the program; Windows loads the file. For
// `program`, Wine is asked to do the same for shell32, shlwapi and winmm, which the
// installer loads only when it needs them. ole32 and kernel32 stay builtin: the
// installer imports them, and Windows takes those from its known-DLL list, never
// from the program's folder.
class LibraryFilesPreferred {
 public:
  explicit LibraryFilesPreferred(const wchar_t* program) : settings_(std::wstring(kWineSettings) + program) {
    const std::wstring overrides = settings_ + L"\\DllOverrides";
    for (const wchar_t* library : {L"shell32", L"shlwapi", L"winmm"}) {
      RegSetKeyValueW(HKEY_CURRENT_USER, overrides.c_str(), library, REG_SZ, L"native,builtin",
                      sizeof L"native,builtin");
    }
  }
  ~LibraryFilesPreferred() { RegDeleteTreeW(HKEY_CURRENT_USER, settings_.c_str()); }
  LibraryFilesPreferred(const LibraryFilesPreferred&) = delete;
  LibraryFilesPreferred& operator=(const LibraryFilesPreferred&) = delete;

 private:
  std::wstring settings_;
};

// A copy of the installer in a folder of impostors, started from another folder of
// impostors, installs the product as it should and touches none of them.
class PlantedFiles : public InstallerTest {};

TEST_F(PlantedFiles, BesideTheInstallerOrInTheFolderItStartsFromAreNeverLoadedOrRead) {
  const PlantedFolder beside(scratch_folder(L"downloads"));
  const PlantedFolder current(scratch_folder(L"current"));
  const std::wstring setup_copy = in_folder(beside.folder(), L"TrellimoSetup.exe");
  ASSERT_TRUE(CopyFileW(built_file("TRELLIMO_SETUP").c_str(), setup_copy.c_str(), FALSE));
  const std::string impostor = support::read_file(built_file("TRELLIMO_PLANTED_LIBRARY"));
  const LibraryFilesPreferred preferred(L"TrellimoSetup.exe");

  Outcome outcome;
  {
    const CurrentFolder started_from(current.folder());
    Session setup(setup_copy);
    ASSERT_TRUE(setup.has_window());
    outcome = install_to_finish_page(setup);
    EXPECT_TRUE(outcome.finished) << setup.installation_report();
    if (outcome.finished) {
      EXPECT_EQ(setup.close_with_close_button(), std::optional<DWORD>(0));
    }
  }
  EXPECT_FALSE(outcome.told);

  reliability::GroupCount& count = reliability::group("planted files");
  for (const PlantedFolder* folder : {&beside, &current}) {
    for (const wchar_t* name : kPlantedNames) {
      SCOPED_TRACE(narrow(folder->path(name)));
      ++count.tried;
      EXPECT_FALSE(folder->loaded(name));
      EXPECT_EQ(support::read_file(folder->path(name)), impostor) << "untouched";
      count.survived += folder->loaded(name) || support::read_file(folder->path(name)) != impostor ? 0 : 1;
    }
  }
  EXPECT_EQ(names_in(current.folder()), std::set<std::wstring>(std::begin(kPlantedNames), std::end(kPlantedNames)))
      << "nothing written into the folder it started from";
  count.lost += expect_each_file_new_or_intact(kDefaultFolder, {}, outcome);
  expect_shortcut(in_folder(kDefaultFolder, L"卸载Pandrel.lnk"), kDefaultFolder, L"--uninst");
  expect_shortcut(in_folder(desktop_folder(), L"Trellimo.lnk"), kDefaultFolder, L"");
  EXPECT_EQ(uninstall_values(), registration_of(narrow(kDefaultFolder)));
}

// The frame's search-order call, each way it can go, in a probe started from a
// folder of impostors with another folder of impostors as its current directory;
// the current directory alone also holds current_only.dll. What the probe logged:
// where winmm.dll came from, and where current_only.dll did.
std::string library_search(const wchar_t* order, const wchar_t* load) {
  const PlantedFolder beside(scratch_folder(L"search-beside"));
  const PlantedFolder current(scratch_folder(L"search-current"));
  const std::wstring probe = in_folder(beside.folder(), L"library_search_probe.exe");
  EXPECT_TRUE(CopyFileW(built_file("TRELLIMO_LIBRARY_SEARCH_PROBE").c_str(), probe.c_str(), FALSE));
  EXPECT_TRUE(CopyFileW(built_file("TRELLIMO_PLANTED_LIBRARY").c_str(),
                        in_folder(current.folder(), L"current_only.dll").c_str(), FALSE));
  const std::wstring log = in_folder(beside.folder(), L"probe.log");
  SetEnvironmentVariableW(L"TRELLIMO_PROBE_LOG", log.c_str());
  const LibraryFilesPreferred preferred(L"library_search_probe.exe");
  const CurrentFolder started_from(current.folder());
  driver::ChildProcess run(probe, std::wstring(order) + L" " + load);
  EXPECT_EQ(run.wait_for_exit(std::chrono::seconds(30)), std::optional<DWORD>(0));
  SetEnvironmentVariableW(L"TRELLIMO_PROBE_LOG", nullptr);
  // Read as text: the probe writes its lines as text, which ends them with \r\n.
  return support::read_text(log);
}

// Without SetDefaultDllDirectories (Windows 7 without its update) the fallback
// keeps the current directory out of the search; the program folder stays in it,
// so what the frame loads from the system it loads by full path.
TEST(LibrarySearch, ThroughTheFallbackTheFrameStillLoadsSystemLibrariesFromTheSystemDirectoryOnly) {
  EXPECT_EQ(library_search(L"fallback", L"frame"),
            "winmm.dll from the system directory\ncurrent_only.dll not found\n");
  EXPECT_EQ(library_search(L"fallback", L"plain"),
            "winmm.dll from the program folder\ncurrent_only.dll not found\n");
}

TEST(LibrarySearch, ThroughSetDefaultDllDirectoriesAPlainNameFindsTheSystemDirectoryOnly) {
  EXPECT_EQ(library_search(L"resolved", L"frame"),
            "winmm.dll from the system directory\ncurrent_only.dll not found\n");
  EXPECT_EQ(library_search(L"resolved", L"plain"),
            "winmm.dll from the system directory\ncurrent_only.dll not found\n");
}

// The evidence that the two above could fail: before the search order is set, a
// plain name finds the file beside the program and the one in the current directory.
TEST(LibrarySearch, UnrestrictedAPlainNameFindsTheImpostors) {
  EXPECT_EQ(library_search(L"unrestricted", L"plain"),
            "winmm.dll from the program folder\ncurrent_only.dll from the current directory\n");
}

// The names of the libraries `program` imports, in capitals.
std::set<std::string> imported_libraries(const std::wstring& program) {
  const HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (image == nullptr) return {};
  // The low bits of a handle to an image loaded as a resource mark it so.
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<uintptr_t>(image) & ~uintptr_t{3});
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::set<std::string> names;
  for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
    std::string name = reinterpret_cast<const char*>(base + entry->Name);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.insert(name);
  }
  FreeLibrary(image);
  return names;
}

// A library the installer imports is loaded before any of its code runs, so only
// the known DLLs, which no file beside it can stand in for, may be imported.
TEST(Imports, AreAllLibrariesWindowsNeverTakesFromBesideTheProgram) {
  const std::set<std::string> imported = imported_libraries(built_file("TRELLIMO_SETUP"));
  ASSERT_FALSE(imported.empty());
  for (const std::string& name : imported) EXPECT_TRUE(kKnownLibraries.contains(name)) << name;
}

// The manifest Windows reads when the installer starts: resource type RT_MANIFEST,
// id 1 for a program.
std::string embedded_manifest(const std::wstring& program) {
  const HMODULE image =
      LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (image == nullptr) return "";
  std::string manifest;
  if (const HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST)) {
    if (const HGLOBAL loaded = LoadResource(image, found)) {
      manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(image, found));
    }
  }
  FreeLibrary(image);
  return manifest;
}

// Every element named `name` in `xml`, each from its "<" to its closing ">".
std::vector<std::string> elements(const std::string& xml, const std::string& name) {
  std::vector<std::string> found;
  for (size_t start = xml.find("<" + name); start != std::string::npos; start = xml.find("<" + name, start + 1)) {
    const size_t end = xml.find('>', start);
    if (end == std::string::npos) break;
    if (std::isspace(static_cast<unsigned char>(xml[start + name.size() + 1]))) {
      found.push_back(xml.substr(start, end - start + 1));
    }
  }
  return found;
}

// The value of the attribute `name` of `element`; empty when it has none.
std::string attribute(const std::string& element, const std::string& name) {
  const std::string opening = name + "=\"";
  for (size_t at = element.find(opening); at != std::string::npos; at = element.find(opening, at + 1)) {
    if (!std::isspace(static_cast<unsigned char>(element[at - 1]))) continue;
    const size_t value = at + opening.size();
    return element.substr(value, element.find('"', value) - value);
  }
  return "";
}

TEST(Manifest, AsksForAdministratorRightsAndCommonControlsSix) {
  const std::string manifest = embedded_manifest(built_file("TRELLIMO_SETUP"));
  ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
  const std::vector<std::string> levels = elements(manifest, "requestedExecutionLevel");
  ASSERT_EQ(levels.size(), 1u) << manifest;
  EXPECT_EQ(attribute(levels[0], "level"), "requireAdministrator") << levels[0];
  EXPECT_EQ(attribute(levels[0], "uiAccess"), "false") << levels[0];
  std::vector<std::string> control_versions;
  for (const std::string& identity : elements(manifest, "assemblyIdentity")) {
    if (attribute(identity, "name") == "Microsoft.Windows.Common-Controls") {
      control_versions.push_back(attribute(identity, "version"));
    }
  }
  EXPECT_EQ(control_versions, std::vector<std::string>{"6.0.0.0"});
}

}  // namespace
}  // namespace installer
