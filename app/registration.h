#pragma once
// The two install steps that leave records outside the product's files.
namespace app {

// Both work in the installed folder, the one the installation was started into.

// Removes the `user` section of the product's Config.ini there.
void remove_user_section();

// Enters the product under its Uninstall key, unless the key already records where
// it was installed.
void register_product();

}  // namespace app
