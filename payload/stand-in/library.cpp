// Stands in for the product's DLLs in builds without the real payload: a valid
// 32-bit DLL that loads, exports nothing and needs no runtime.
#include <windows.h>

extern "C" BOOL WINAPI stand_in_entry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
