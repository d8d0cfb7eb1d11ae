#pragma once
namespace app {

// Opens a file or URL through the shell ("open", show mode 1 unless given). True
// when the shell accepted it; no caller needs to look.
bool run_document(const char* file, const char* parameters = nullptr, const char* verb = nullptr, int show_mode = 1);

}  // namespace app
