// The program's entry point: one copy only, the window classes, the layout library bound from
// the installation directory, the settings, the main window, and tidying up.
#include "keyboard_window.h"
#include "main_window.h"
#include "pennakbd_state.h"
#include "program_lists.h"
#include "settings.h"
#include "title_bar.h"

namespace {

const int classNameSize = 260;
// "InstDir" holds at most this many bytes, the terminator included.
const DWORD installDirectoryBytes = 516;

BOOL IsAlreadyRunning(void) {
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != NULL;
         window = GetWindow(window, GW_HWNDNEXT)) {
        HWND first = GetWindow(window, GW_CHILD);
        WCHAR name[classNameSize];
        if (first != NULL && GetClassNameW(first, name, classNameSize) > 0 &&
            lstrcmpiW(name, KEYBOARD_CLASS) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL RegisterKeyboardClass(LPCWSTR name, WNDPROC procedure, int extraBytes, int brush) {
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = extraBytes;
    windowClass.hInstance = ProgramInstance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(brush);
    windowClass.lpszClassName = name;
    return RegisterClassW(&windowClass) != 0;
}

BOOL RegisterClasses(void) {
    // The toggles keep a state, two pictures and their memory DC, each pointer-sized.
    const int toggleBytes = 4 * (int)sizeof(LONG_PTR);
    return RegisterKeyboardClass(KEYBOARD_CLASS, KeyboardWindowProc, sizeof(LONG_PTR),
                                 WHITE_BRUSH) &&
           RegisterKeyboardClass(PIN_BUTTON_CLASS, PinButtonProc, toggleBytes, NULL_BRUSH) &&
           RegisterKeyboardClass(PANEL_BUTTON_CLASS, PanelButtonProc, toggleBytes, NULL_BRUSH);
}

BOOL ReadInstallDirectory(WCHAR *directory) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD size = installDirectoryBytes;
    const LONG read = RegQueryValueExW(key, TEXT("InstDir"), NULL, NULL, (BYTE *)directory, &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS;
}

FARPROC Bind(LPCWSTR name) {
    return GetProcAddressW(LayodexModule, name);
}

// Every one of the eight must be there, even those never called.
BOOL BindLayodex(void) {
    const struct {
        LPCWSTR name;
        FARPROC *entry;
    } exports[] = {
        {TEXT("LoadKeyBoard"), (FARPROC *)&Layodex.LoadKeyBoard},
        {TEXT("LoadKeyBoardsNames"), (FARPROC *)&Layodex.LoadKeyBoardsNames},
        {TEXT("UnLoadKeyBoard"), (FARPROC *)&Layodex.UnLoadKeyBoard},
        {TEXT("UnLoadKeyBoardsNames"), (FARPROC *)&Layodex.UnLoadKeyBoardsNames},
        {TEXT("FindLastElement"), (FARPROC *)&Layodex.FindLastElement},
        {TEXT("FindKeyByUnicode"), (FARPROC *)&Layodex.FindKeyByUnicode},
        {TEXT("FindKeyByIdentity"), (FARPROC *)&Layodex.FindKeyByIdentity},
        {TEXT("SetSearchDirectory"), (FARPROC *)&Layodex.SetSearchDirectory},
    };
    for (const auto &binding : exports) {
        *binding.entry = Bind(binding.name);
        if (*binding.entry == NULL)
            return FALSE;
    }
    return TRUE;
}

void CreateDrawingObjects(void) {
    ThickBlackPen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    BlackPen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    WhitePen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    titleBrush = CreateSolidBrush(RGB(0, 0, 0x80));
}

void DeleteDrawingObjects(void) {
    HGDIOBJ objects[] = {ThickBlackPen, BlackPen, WhitePen, titleBrush};
    for (HGDIOBJ object : objects) {
        if (object != NULL)
            DeleteObject(object);
    }
}

int Run(HINSTANCE instance) {
    ProgramInstance = instance;
    if (!RegisterClasses())
        return 1;
    WCHAR directory[installDirectoryBytes / sizeof(WCHAR) + 1];
    ZeroMemory(directory, sizeof directory);
    if (!ReadInstallDirectory(directory))
        return 1;
    WCHAR libraryPath[MAX_PATH * 2];
    wsprintfW(libraryPath, TEXT("%s\\layodex"), directory);
    LayodexModule = LoadLibraryW(libraryPath);
    if (LayodexModule == NULL || !BindLayodex())
        return 0;
    Layodex.SetSearchDirectory(directory);
    ReadSettings();
    DialogBoxParamW(ProgramInstance, MAKEINTRESOURCEW(IDD_MAIN_WINDOW), NULL, MainWindowProc, 0);
    WriteSettings();
    FreeList(&HeldKeys, TRUE);
    FreeList(&ImageCache, TRUE);
    FreeList(&DirtyKeys, TRUE);
    FreeLibrary(LayodexModule);
    LayodexModule = NULL;
    return 0;
}

} // namespace

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    // Before anything is touched: a second copy may share this program's data with the first,
    // as one program file loaded twice does here.
    if (IsAlreadyRunning())
        return 0;
    ResetProgramState();
    CreateDrawingObjects();
    const int result = Run(instance);
    DeleteDrawingObjects();
    return result;
}
