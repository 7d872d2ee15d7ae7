// The licence-agreement page: the product's licence, "I Agree" or "No".
#include "setup_state.h"

static const char licenceText[] =
    "Pennakey Licence\r\n"
    "\r\n"
    "Pennakey (the keyboard program, its layout library, the layouts, the converter and this "
    "installer) is licensed to you, not sold.\r\n"
    "\r\n"
    "1. You may install and use Pennakey on any number of your own devices and computers.\r\n"
    "2. You may copy and give away the unchanged distribution, including this licence, free of "
    "charge.\r\n"
    "3. Layouts you write or convert with Pennakey are yours.\r\n"
    "4. You may not sell Pennakey or pass it off as your own work.\r\n"
    "\r\n"
    "Pennakey comes as it is, without any warranty. Its makers are not liable for any loss or "
    "damage that comes from using it, including lost data on the device.\r\n"
    "\r\n"
    "Press \"I Agree\" to accept this licence and go on, or \"No\" to leave Setup.";

static INT_PTR CALLBACK LicenceProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(page, PRODUCT_NAME);
        SetDlgItemTextA(page, IDC_LICENCE_TEXT, licenceText);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(page, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR ShowLicencePage(void) {
    return DialogBoxParamA(SetupInstance, MAKEINTRESOURCEA(IDD_LICENCE), SetupWindow, LicenceProc,
                           0);
}
