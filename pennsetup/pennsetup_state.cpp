#include "pennsetup_state.h"

HINSTANCE SetupModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        SetupModule = module;
    else if (reason == DLL_PROCESS_DETACH)
        Sleep(1000);
    return TRUE;
}
