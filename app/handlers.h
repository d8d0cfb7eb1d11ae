#pragma once
// The routines the installer window's template binds to unit events. Each is a plain
// stdcall routine without arguments, reached through the handler table the build
// generates from app/layout/window.json.
extern "C" {

void __stdcall on_window_created();
void __stdcall on_desktop_icon_toggled();
void __stdcall on_agree_toggled();
void __stdcall on_portable_toggled();
void __stdcall on_quick_install_clicked();
void __stdcall on_install_clicked();
void __stdcall on_custom_install_clicked();
void __stdcall on_return_clicked();
void __stdcall on_browse_clicked();
void __stdcall on_close_clicked();
int __stdcall on_window_close_asked();
void __stdcall on_start_clicked();
void __stdcall on_agreement_link_clicked();

}  // extern "C"
