// A DLL for the module tests: it records what its DllMain is told.
#include <windows.h>

namespace {
HINSTANCE attachedInstance;
int attachCount;
void (*detachProbe)(HINSTANCE);
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        attachedInstance = instance;
        ++attachCount;
    } else if (reason == DLL_PROCESS_DETACH && detachProbe != nullptr) {
        detachProbe(instance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HINSTANCE TestModuleAttachedInstance() {
    return attachedInstance;
}

extern "C" __declspec(dllexport) int TestModuleAttachCount() {
    return attachCount;
}

extern "C" __declspec(dllexport) void TestModuleSetDetachProbe(void (*probe)(HINSTANCE)) {
    detachProbe = probe;
}
