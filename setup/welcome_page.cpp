// The welcome page: hands the device programs to the application manager, then waits until the
// device's installation asks for layouts.
#include <rapi.h>

#include "setup_state.h"

#define WAIT_TIMER 17
#define WAIT_PERIOD 5000
#define WAIT_LIMIT 60000

static DWORD ElapsedWait;
static BOOL Waiting;

static void StopWaiting(HWND page) {
    if (Waiting)
        KillTimer(page, WAIT_TIMER);
    Waiting = FALSE;
}

// The time counts only while the application manager is closed. It counts too while the
// device cannot be reached: otherwise a pulled cable would keep Setup waiting for ever, and
// the timeout's message names that case.
static void WaitTick(HWND page) {
    if (FindWindowA("CEAppMgr", NULL) != NULL)
        return;
    const BOOL connected = CeRapiInit() != E_FAIL;
    ElapsedWait += WAIT_PERIOD;
    HWND found = connected ? FindDeviceWindow("Dialog", "Keyboard layouts") : NULL;
    if (connected)
        CeRapiUninit();
    if (found != NULL) {
        StopWaiting(page);
        EndDialog(page, 1);
    } else if (ElapsedWait > WAIT_LIMIT) {
        StopWaiting(page);
        EndDialog(page, PAGE_TIMED_OUT);
    }
}

static INT_PTR CALLBACK WelcomeProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(page, PRODUCT_NAME);
        ElapsedWait = 0;
        Waiting = FALSE;
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const int result = InstallFixedPart();
            if (result == 1)
                PostMessageA(page, WM_SETUP_STARTWAIT, 0, 0);
            else
                EndDialog(page, result);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            StopWaiting(page);
            EndDialog(page, PAGE_CANCELLED);
            return TRUE;
        }
        break;
    case WM_SETUP_STARTWAIT:
        if (SetTimer(page, WAIT_TIMER, WAIT_PERIOD, NULL) == 0) {
            EndDialog(page, PAGE_NO_TIMER);
            return TRUE;
        }
        Waiting = TRUE;
        SetDlgItemTextA(page, IDC_WELCOME_TEXT,
                        "Plese wait while fixed part of application will be installed.");
        EnableWindow(GetDlgItem(page, IDOK), FALSE);
        return TRUE;
    case WM_TIMER:
        if (wParam == WAIT_TIMER && Waiting)
            WaitTick(page);
        return TRUE;
    }
    return FALSE;
}

INT_PTR ShowWelcomePage(void) {
    return DialogBoxParamA(SetupInstance, MAKEINTRESOURCEA(IDD_WELCOME), SetupWindow, WelcomeProc,
                           0);
}
