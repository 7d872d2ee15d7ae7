// A message box where no program runs (a console program on the host, a test's own stack): it
// is written to standard output and answered as the person at the desk would be expected to
// answer it, with its affirmative button. A program on a machine gets a real one.
#include <windows.h>

#include "dialogs/dialogs.h"
#include "kernel/code_pages.h"
#include "kernel/scheduler.h"

#include <cstdio>

int ConsoleMessageBox(const std::string &text, const std::string &caption, UINT type) {
    std::printf("[%s] %s\n", caption.c_str(), text.c_str());
    std::fflush(stdout);
    return (type & 0x0F) == MB_YESNO ? IDYES : IDOK;
}

extern "C" int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (CurrentProgram() == nullptr) {
        return ConsoleMessageBox(text != nullptr ? text : "",
                                 caption != nullptr ? caption : "Error", type);
    }
    const std::u16string wideText = WideFromAnsi(text != nullptr ? text : "");
    const std::u16string wideCaption = WideFromAnsi(caption != nullptr ? caption : "Error");
    return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), type);
}
