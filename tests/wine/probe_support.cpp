#include "probe_support.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace probe {

void log_line(const std::string& line) {
  const char* path = std::getenv("TRELLIMO_PROBE_LOG");
  if (path == nullptr) return;
  if (FILE* log = std::fopen(path, "a")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

std::string scenario() {
  const std::string command_line = GetCommandLineA();
  const size_t space = command_line.find_last_of(' ');
  return space == std::string::npos ? "" : command_line.substr(space + 1);
}

void play_named_scenario(std::span<const Scenario> scenarios) {
  const std::string name = scenario();
  for (const Scenario& each : scenarios) {
    if (each.name == name) each.play();
  }
}

namespace {

int close_asked_count = 0;
bool refusing_first_close = false;

}  // namespace

void refuse_first_close() { refusing_first_close = true; }

int close_asked() {
  ++close_asked_count;
  log_line("close asked " + std::to_string(close_asked_count));
  return !refusing_first_close || close_asked_count > 1;
}

int close_going_ahead() {
  log_line("close");
  return 1;
}

std::string hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace probe
