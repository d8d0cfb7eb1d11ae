#include "probe_runner.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "files.h"

namespace driver {

namespace {

// A scenario may be a path; its log file is named by the letters and digits of it.
std::string log_name_of(const std::string& scenario) {
  std::string name = "probe-";
  for (char c : scenario) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name + ".log";
}

// What a probe's log_usage line said.
struct ProcessUsage {
  long handles = 0;
  long long private_bytes = 0;
};

ProcessUsage usage_logged(const std::vector<std::string>& log, const std::string& label) {
  const std::string prefix = label + " handles ";
  ProcessUsage usage;
  for (const std::string& line : log) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::istringstream(line.substr(prefix.size())) >> usage.handles;
    const size_t at = line.find(" private ");
    if (at != std::string::npos) usage.private_bytes = std::stoll(line.substr(at + 9));
  }
  return usage;
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

std::string Probe::log() const { return support::read_text(log_path_); }

ProbeRun run_probe(const char* program_variable, const std::string& scenario) {
  Probe probe(program_variable, scenario);
  const auto exit_code = probe.process().wait_for_exit(30s);
  return {exit_code, probe.log()};
}

int soak_size(const char* variable, int quick) {
  const char* given = std::getenv(variable);
  const int size = given != nullptr && std::atoi(given) > 0 ? std::atoi(given) : quick;
  SetEnvironmentVariableA(variable, std::to_string(size).c_str());
  return size;
}

std::string usage_growth_beyond(const std::vector<std::string>& log, const std::string& early_label,
                                const std::string& late_label, long handles, long long bytes) {
  const ProcessUsage early = usage_logged(log, early_label);
  const ProcessUsage late = usage_logged(log, late_label);
  if (early.handles == 0 || early.private_bytes == 0 || late.handles == 0) return "no usage logged";
  if (late.handles - early.handles <= handles && late.private_bytes - early.private_bytes <= bytes) return "";
  return "handles " + std::to_string(early.handles) + " then " + std::to_string(late.handles) + ", private bytes " +
         std::to_string(early.private_bytes) + " then " + std::to_string(late.private_bytes);
}

std::wstring runtime_error_text(const std::wstring& message, const std::wstring& detail) {
  return L"运行时出错!\r\n\r\n错误信息：" + message + L"\r\n\r\n" + detail + L"\r\n";
}

std::string gbk(const std::wstring& text) {
  const int size = WideCharToMultiByte(936, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(936, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(size - 1));
  return bytes;
}

}  // namespace driver
