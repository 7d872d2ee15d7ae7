// GetSystemMetrics: the sizes of the screen, of frames and of icons.
#include <windows.h>

extern "C" int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        RECT screen{};
        GetWindowRect(GetDesktopWindow(), &screen);
        return index == SM_CXSCREEN ? screen.right - screen.left : screen.bottom - screen.top;
    }
    case SM_CYCAPTION:
        return 24;
    case SM_CXVSCROLL:
        return 13; // as Windows CE has it
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    default:
        return 0;
    }
}
