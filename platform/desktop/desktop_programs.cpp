// The PC's built-in programs: registered by path, with their files and App Paths entries.
#include "desktop/desktop_programs.h"

#include "appmgr/app_manager.h"
#include "kernel/code_pages.h"
#include "kernel/scheduler.h"

#include <windows.h>

#include <cstring>

const char appManagerPath[] = "C:\\Program Files\\CE Services\\ceappmgr.exe";
const char appManagerAppPathsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";

namespace {

const char appManagerFolder[] = "C:\\Program Files\\CE Services";
// What the file standing for the program holds: its code is the platform's own.
const char standInText[] = "The application manager is built into the PC.\r\n";

bool MakeFolder(const char *folder, std::string &error) {
    if (CreateDirectoryA(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
        return true;
    }
    error =
        std::string("cannot make ") + folder + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}

bool PutStandInFile(const char *path, std::string &error) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(standInText));
    const bool wrote = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, standInText, size, &written, nullptr) && written == size;
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!wrote) {
        error = std::string("cannot write ") + path;
    }
    return wrote;
}

bool PutAppPath(const char *keyPath, const char *programPath, std::string &error) {
    HKEY key = nullptr;
    LONG result =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, 0, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS &&
        RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        result =
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(programPath),
                           static_cast<DWORD>(std::strlen(programPath) + 1));
    }
    if (key != nullptr) {
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS) {
        error = std::string("cannot set HKEY_LOCAL_MACHINE\\") + keyPath + " (error " +
                std::to_string(result) + ")";
        return false;
    }
    return true;
}

} // namespace

void RegisterDesktopPrograms() {
    RegisterBuiltInAnsiProgram(WideFromAnsi(appManagerPath), AppManagerMain);
}

bool PutDesktopProgramsInPlace(std::string &error) {
    return MakeFolder(appManagerFolder, error) && PutStandInFile(appManagerPath, error) &&
           PutAppPath(appManagerAppPathsKey, appManagerPath, error);
}
