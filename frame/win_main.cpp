#include <windows.h>

#include "frame/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return frame::Application::instance().run(); }
