#include <ce_setup.h>

#include "pennsetup_state.h"

extern "C" codeINSTALL_INIT WINAPI Install_Init(HWND hwndParent, BOOL fFirstCall,
                                                BOOL fPreviouslyInstalled, LPCTSTR pszInstallDir) {
    (void)pszInstallDir;
    if (!fFirstCall) {
        ShowSetupMessage(hwndParent, MB_OK | MB_SETFOREGROUND,
                         TEXT("Not enough space for the installation "), PRODUCT_NAME, TEXT("."),
                         NULL);
        return codeINSTALL_INIT_CANCEL;
    }
    if (fPreviouslyInstalled)
        ShowSetupMessage(hwndParent, MB_OK | MB_SETFOREGROUND, PRODUCT_NAME,
                         TEXT(" is detected on the device. To update the current installation ")
                             TEXT("make sure "),
                         PRODUCT_NAME, TEXT(" is closed."));
    return codeINSTALL_INIT_CONTINUE;
}

// The keyboard program and the desktop installer find the program by this value; the package
// made the keys, so they are opened, never created.
static BOOL RecordInstallDirectory(LPCTSTR directory) {
    HKEY company, product;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, TEXT("Software\\Quorvale2"), 0, 0, &company) !=
        ERROR_SUCCESS)
        return FALSE;
    LONG opened = RegOpenKeyEx(company, PRODUCT_NAME, 0, 0, &product);
    RegCloseKey(company);
    if (opened != ERROR_SUCCESS)
        return FALSE;
    DWORD bytes = (DWORD)((lstrlen(directory) + 1) * sizeof(TCHAR));
    LONG written =
        RegSetValueEx(product, TEXT("InstDir"), 0, REG_SZ, (const BYTE *)directory, bytes);
    RegCloseKey(product);
    return written == ERROR_SUCCESS;
}

static BOOL HasLayoutFile(LPCTSTR directory) {
    WIN32_FIND_DATA found;
    HANDLE search = FindFirstLayoutFile(directory, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(search);
    return TRUE;
}

// The desktop installer copies the layouts while the warning is open, so the directory is looked
// at only once it is answered.
static BOOL WaitForLayouts(LPCTSTR directory) {
    MessageBox(NULL,
               TEXT("Warning!\r\nLook at the PC desktop screen and select keyboard layouts you ")
                   TEXT("want to install on the device. At least one of them must be ")
                       TEXT("selected.\r\nAfter transferring completion press the OK button."),
               TEXT("Keyboard layouts"), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    return HasLayoutFile(directory);
}

extern "C" codeINSTALL_EXIT WINAPI Install_Exit(HWND hwndParent, LPCTSTR pszInstallDir,
                                                WORD cFailedDirs, WORD cFailedFiles,
                                                WORD cFailedRegKeys, WORD cFailedRegVals,
                                                WORD cFailedShortcuts) {
    (void)cFailedDirs;
    (void)cFailedShortcuts;
    if (cFailedFiles + cFailedRegKeys + cFailedRegVals != 0) {
        ShowSetupMessage(hwndParent, MB_OK,
                         TEXT("Some installation data were not copied!\n")
                             TEXT("Please reinstall "),
                         PRODUCT_NAME, TEXT("."), NULL);
        return codeINSTALL_EXIT_UNINSTALL;
    }
    if (!RecordInstallDirectory(pszInstallDir)) {
        ShowSetupMessage(hwndParent, MB_OK, TEXT("Could not allocate installation directory. "),
                         PRODUCT_NAME, TEXT(" setup will be terminated."), NULL);
        return codeINSTALL_EXIT_UNINSTALL;
    }
    BOOL found = WaitForLayouts(pszInstallDir);
    if (!found &&
        MessageBox(hwndParent,
                   TEXT("If you will not select keyboard layouts to load onto device, Pennakey ")
                       TEXT("installation will be terminated. Would you like to continue the ")
                           TEXT("Setup?"),
                   PRODUCT_NAME, MB_YESNO | MB_SETFOREGROUND) == IDYES)
        found = WaitForLayouts(pszInstallDir);
    if (!found) {
        ShowSetupMessage(hwndParent, MB_OK, TEXT(". Setup could not continue "), PRODUCT_NAME,
                         TEXT(" installation because of keyboard layouts were not installed on ")
                             TEXT("the device."),
                         NULL);
        return codeINSTALL_EXIT_UNINSTALL;
    }
    ShowCompletionDialog();
    return codeINSTALL_EXIT_DONE;
}
