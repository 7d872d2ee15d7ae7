// Setup's entry point and its hidden main window, which shows the pages one after another.
#include <commctrl.h>

#include "setup_state.h"

static void EndSetup(void) {
    PostMessageA(SetupWindow, WM_CLOSE, 0, 0);
}

static void EndWithMessage(const char *text) {
    ShowSetupMessage(text);
    EndSetup();
}

static const char cancelledText[] = "The installation was canceled by user.";

static void AfterWelcome(INT_PTR result) {
    switch (result) {
    case 1:
        PostMessageA(SetupWindow, WM_SETUP_SELECT, 0, 0);
        return;
    case PAGE_CANCELLED:
        EndWithMessage(cancelledText);
        return;
    case PAGE_TIMED_OUT:
        EndWithMessage("Could not detect a completion of program files installation for a long "
                       "time.\r\nPerhaps the information message box of keyboard layouts copying "
                       "was closed unexpectedly\r\nor you have canceled the application setup on "
                       "the device side\r\nor Setup could not initialize connection with the "
                       "device.");
        return;
    case PAGE_NO_TIMER:
        EndWithMessage("Could not create a waiting timer.");
        return;
    }
    EndSetup();
}

// Whether the device has room for the chosen layouts decides between the copy and the space page.
static void CheckSpace(const char *failure) {
    DWORD required = 0, free = 0;
    if (!QueryDeviceSpace(LoadList, &required, &free)) {
        EndWithMessage(failure);
        return;
    }
    if (free >= required)
        PostMessageA(SetupWindow, WM_SETUP_COPY, 0, 0);
    else
        PostMessageA(SetupWindow, WM_SETUP_SPACE, required, free);
}

static void AfterSelection(INT_PTR result) {
    if (result == 1)
        CheckSpace("Can't connect to device.");
    else if (result == PAGE_NO_MEMORY)
        EndWithMessage("There is not enough memory to list the keyboard layouts.");
    else
        EndWithMessage(cancelledText);
}

static void AfterSpace(INT_PTR result) {
    if (result == IDC_BACK)
        PostMessageA(SetupWindow, WM_SETUP_SELECT, 0, 0);
    else if (result == IDC_CONTINUE)
        CheckSpace("Could not connect to the device.");
    else
        EndSetup();
}

static void CopyAndReport(void) {
    switch (CopyLayoutsToDevice(LoadList)) {
    case 0:
        ShowSetupMessage(PRODUCT_NAME " is successfully installed on the device. Find appropriate "
                                      "item in the Start->Programs menu and double tap to run the "
                                      "application.");
        break;
    case COPY_NO_CONNECTION:
        ShowSetupMessage("Could not initialize connection with device.");
        break;
    case COPY_NO_DIRECTORY:
        ShowSetupMessage("Could not obtain " PRODUCT_NAME "'s installation directory.");
        break;
    default:
        ShowSetupMessage("Could not copy the keyboard layout to the device.");
        break;
    }
    EndSetup();
}

static LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowWindow(window, SW_HIDE);
        PostMessageA(window, WM_SETUP_LICENCE, 0, 0);
        return 0;
    case WM_SETUP_LICENCE:
        if (ShowLicencePage() == IDOK)
            PostMessageA(window, WM_SETUP_WELCOME, 0, 0);
        else
            EndSetup();
        return 0;
    case WM_SETUP_WELCOME:
        AfterWelcome(ShowWelcomePage());
        return 0;
    case WM_SETUP_SELECT:
        AfterSelection(ShowSelectionPage());
        return 0;
    case WM_SETUP_SPACE:
        AfterSpace(ShowSpacePage((DWORD)wParam, (DWORD)lParam));
        return 0;
    case WM_SETUP_COPY:
        CopyAndReport();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    (void)show;
    if (FindWindowA(SETUP_CLASS, NULL) != NULL)
        return 0;
    SetupInstance = instance;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SetupWindowProc;
    windowClass.cbWndExtra = 12;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
    windowClass.lpszClassName = SETUP_CLASS;
    if (RegisterClassA(&windowClass) == 0)
        return 1;
    InitCommonControls();
    SetupWindow = CreateWindowExA(0, SETUP_CLASS, PRODUCT_NAME, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  instance, NULL);
    if (SetupWindow == NULL)
        return 1;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (SelectionBuffer != NULL)
        LocalFree(SelectionBuffer);
    SelectionBuffer = NULL;
    FreeLayoutList(&AvailableList);
    FreeLayoutList(&LoadList);
    return 0;
}
