// InitCommonControls and InitCommonControlsEx: each program registers the common control classes
// for itself, as each process does on Windows.
#include <commctrl.h>

#include "controls/progress_bar.h"

extern "C" void WINAPI InitCommonControls(void) {
    RegisterProgressBarClass();
}

extern "C" BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *controls) {
    if (controls == nullptr || controls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        return FALSE;
    }
    if ((controls->dwICC & ICC_PROGRESS_CLASS) != 0) {
        RegisterProgressBarClass();
    }
    return TRUE;
}
