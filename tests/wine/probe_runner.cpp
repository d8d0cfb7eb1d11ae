#include "probe_runner.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace driver {

namespace {

// A scenario may be a path; its log file is named by the letters and digits of it.
std::string log_name_of(const std::string& scenario) {
  std::string name = "probe-";
  for (char c : scenario) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name + ".log";
}

}  // namespace

Probe::Probe(const char* program_variable, const std::string& scenario) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  log_path_ = std::string(folder) + log_name_of(scenario);
  DeleteFileA(log_path_.c_str());
  SetEnvironmentVariableA("TRELLIMO_PROBE_LOG", log_path_.c_str());
  const std::string program = program_from_environment(program_variable);
  process_ = std::make_unique<ChildProcess>(windows_path(program), std::wstring(scenario.begin(), scenario.end()));
}

std::string Probe::log() const {
  std::ifstream file(log_path_);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

ProbeRun run_probe(const char* program_variable, const std::string& scenario) {
  Probe probe(program_variable, scenario);
  const auto exit_code = probe.process().wait_for_exit(30s);
  return {exit_code, probe.log()};
}

std::wstring runtime_error_text(const std::wstring& message, const std::wstring& detail) {
  return L"运行时出错!\r\n\r\n错误信息：" + message + L"\r\n\r\n" + detail + L"\r\n";
}

}  // namespace driver
