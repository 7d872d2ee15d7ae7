// Linked into every DLL: the run-time library's DLL start-up code. It calls the DLL's DllMain
// when the host loads and unloads the library, with the module's load address as its instance,
// which is the HMODULE LoadLibrary returns for it.
#include <windows.h>

#include <dlfcn.h>

// Each DLL defines its own; hidden, so that every DLL calls its own and not the first one loaded.
extern "C" __attribute__((visibility("hidden"))) BOOL WINAPI DllMain(HINSTANCE instance,
                                                                     DWORD reason, LPVOID reserved);

namespace {

HINSTANCE OwnInstance() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&OwnInstance), &info) == 0) {
        return nullptr;
    }
    return static_cast<HINSTANCE>(info.dli_fbase);
}

__attribute__((constructor)) void AttachProcess() {
    DllMain(OwnInstance(), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void DetachProcess() {
    DllMain(OwnInstance(), DLL_PROCESS_DETACH, nullptr);
}

} // namespace
