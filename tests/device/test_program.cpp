// A device program that answers each WM_USER message by posting WM_USER + 1 to the program whose
// id it carries, and ends with the code of the quit it is asked for.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0)) {
        if (message.message == WM_USER)
            PostThreadMessageW((DWORD)message.wParam, WM_USER + 1, wcslen(commandLine),
                               (LPARAM)GetCurrentThreadId());
        else if (message.message == WM_USER + 2)
            PostQuitMessage((int)message.wParam);
    }
    return (int)message.wParam;
}
