#pragma once
// The three option toggles: each flips its option and shows it with the ticked or
// the empty box in its button's three state pictures.
namespace app {

// Writes the installation folder into FolderLabel.
void show_installation_folder();

}  // namespace app
