// Morvex converts the legacy keyboard files of its current directory into layout files, starting
// from the English layout beside the layout library.
#include <stdlib.h>

#include "conversion.h"
#include "layout_output.h"

#define DEFAULT_CODE_PAGE 1252

// The leading number of the command line, when the platform can decode that code page.
static UINT CodePageFromCommandLine(const char *commandLine) {
    UINT codePage = (UINT)strtoul(commandLine, NULL, 10);
    WCHAR probe;
    if (codePage == 0 || MultiByteToWideChar(codePage, MB_PRECOMPOSED, "A", 1, &probe, 1) == 0)
        return DEFAULT_CODE_PAGE;
    return codePage;
}

static void ConvertFile(KeyboardLayout *englishTemplate, const char *fileName, UINT codePage) {
    LegacyLayout legacy;
    if (!ReadLegacyLayout(fileName, codePage, &legacy))
        return;
    KeyboardLayout *result = ConvertLegacyLayout(englishTemplate, &legacy);
    if (result != NULL) {
        char outputName[LEGACY_TITLE_SIZE + 8];
        if (MakeOutputName(legacy.title, outputName, sizeof outputName))
            WriteLayoutFile(result, outputName);
        UnLoadKeyBoard(result); // nothing uses a written result again
    }
    FreeLegacyLayout(&legacy);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    UINT codePage = CodePageFromCommandLine(commandLine != NULL ? commandLine : "");

    KeyboardLayout request = {};
    lstrcpyW(request.name, WTEXT("English"));
    lstrcpyW(request.subName, WTEXT("Main"));
    request.number = -1;
    KeyboardLayout *englishTemplate = (KeyboardLayout *)LoadKeyBoard(NULL, &request, NULL);
    if (englishTemplate == NULL)
        return 1;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("pennini?.*", &found);
    if (search == INVALID_HANDLE_VALUE) {
        UnLoadKeyBoard(englishTemplate);
        return 0;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            ConvertFile(englishTemplate, found.cFileName, codePage);
    } while (FindNextFileA(search, &found));
    FindClose(search);

    UnLoadKeyBoard(englishTemplate);
    MessageBoxA(NULL, "Translation was complited !", "Translating Application",
                MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
}
