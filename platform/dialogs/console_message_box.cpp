// The desktop runs without a screen: a message box is written to standard output and answered
// as the person at the desk would be expected to answer it, with its affirmative button.
#include <windows.h>

#include <cstdio>

extern "C" int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    std::printf("[%s] %s\n", caption != nullptr ? caption : "Error", text != nullptr ? text : "");
    std::fflush(stdout);
    return (type & 0x0F) == MB_YESNO ? IDYES : IDOK;
}
