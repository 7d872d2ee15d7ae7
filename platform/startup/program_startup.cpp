// Linked into every desktop program: the run-time library's start-up code. It hands WinMain the
// program's instance and its command line without the program name, as Windows does.
#include <windows.h>

#include <dlfcn.h>

#include <string>

int main(int argc, char **argv) {
    std::string commandLine;
    for (int i = 1; i < argc; i++) {
        if (i > 1) {
            commandLine += ' ';
        }
        std::string argument = argv[i];
        bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        commandLine += quote ? "\"" + argument + "\"" : argument;
    }
    Dl_info info;
    HINSTANCE instance = nullptr;
    if (dladdr(reinterpret_cast<void *>(&main), &info) != 0) {
        instance = static_cast<HINSTANCE>(info.dli_fbase);
    }
    return WinMain(instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
