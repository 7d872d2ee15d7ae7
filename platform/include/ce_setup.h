// The setup-library interface: what a package's setup library (the cabinet's .999 member)
// exports, and what the cabinet installer makes of its answers.
#ifndef PLATFORM_CE_SETUP_H
#define PLATFORM_CE_SETUP_H

#include <windows.h>

typedef enum {
    codeINSTALL_INIT_CONTINUE = 0,
    codeINSTALL_INIT_CANCEL = 1,
} codeINSTALL_INIT;

typedef enum {
    codeINSTALL_EXIT_DONE = 0,
    codeINSTALL_EXIT_UNINSTALL = 1,
} codeINSTALL_EXIT;

typedef enum {
    codeUNINSTALL_INIT_CONTINUE = 0,
    codeUNINSTALL_INIT_CANCEL = 1,
} codeUNINSTALL_INIT;

typedef enum {
    codeUNINSTALL_EXIT_DONE = 0,
} codeUNINSTALL_EXIT;

#ifdef __cplusplus
extern "C" {
#endif

// Windows CE is Unicode throughout: the directory is wide text whatever the caller's own build.

typedef codeINSTALL_INIT(WINAPI *pfnInstall_Init)(HWND hwndParent, BOOL fFirstCall,
                                                  BOOL fPreviouslyInstalled, LPCWSTR pszInstallDir);
typedef codeINSTALL_EXIT(WINAPI *pfnInstall_Exit)(HWND hwndParent, LPCWSTR pszInstallDir,
                                                  WORD cFailedDirs, WORD cFailedFiles,
                                                  WORD cFailedRegKeys, WORD cFailedRegVals,
                                                  WORD cFailedShortcuts);
typedef codeUNINSTALL_INIT(WINAPI *pfnUninstall_Init)(HWND hwndParent, LPCWSTR pszInstallDir);
typedef codeUNINSTALL_EXIT(WINAPI *pfnUninstall_Exit)(HWND hwndParent);

#ifdef __cplusplus
}
#endif

#endif
