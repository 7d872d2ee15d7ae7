// A layout library that lacks FindKeyByIdentity: the keyboard must refuse to start with it.
#include <windows.h>

extern "C" {
__declspec(dllexport) void *LoadKeyBoard(void *, void *, void *) {
    return nullptr;
}
__declspec(dllexport) void *LoadKeyBoardsNames(void) {
    return nullptr;
}
__declspec(dllexport) int UnLoadKeyBoard(void *) {
    return 0;
}
__declspec(dllexport) int UnLoadKeyBoardsNames(void *) {
    return 0;
}
__declspec(dllexport) void *FindLastElement(void *) {
    return nullptr;
}
__declspec(dllexport) void *FindKeyByUnicode(void *, WCHAR, DWORD, DWORD) {
    return nullptr;
}
__declspec(dllexport) int SetSearchDirectory(const WCHAR *) {
    return 0;
}
}
