// Entry point of Kiropad. The main window arrives with the window issue; until
// then the program shows who it is and ends.
#include <windows.h>

#include "version.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    MessageBoxW(nullptr, L"Kiropad Ver. " TEXT(KIROPAD_VERSION_TEXT), L"Kiropad", MB_OK | MB_ICONINFORMATION);
    return 0;
}
