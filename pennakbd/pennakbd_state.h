// The keyboard program's state that lives for the whole run, shared by its windows, and the
// numbers they talk with. One thread runs everything, so nothing here is locked.
#ifndef PENNAKBD_PENNAKBD_STATE_H
#define PENNAKBD_PENNAKBD_STATE_H

#include <windows.h>

#include <layodex.h>

// Private window messages.
#define MSG_TRAY_NOTIFY 0x800A
#define MSG_SHOW_LAYOUT 0x800B
#define MSG_RELAYOUT 0x800C
#define MSG_KEY_PRESSED 0x800D
#define MSG_QUERY_FOCUS 0x800E
// What other programs may send to the main window.
#define MSG_SAVE_CURRENT_KEYBOARD 0x80C8
#define MSG_RESTORE_CURRENT_KEYBOARD 0x80C9
#define MSG_CMD_MINIMIZE 0x80CA
#define MSG_CMD_OK 0x80CB
#define MSG_CMD_CANCEL 0x80CC

// Key bits the program keeps in the library's records while it shows them.
#define KEY_RESOLVED 0x1000u
#define KEY_SHOWN_HELD 0x10000000u
#define KEY_SAME_FACE 0x20000000u
#define KEY_SAME_PLACE 0x40000000u
#define KEY_KIND_BITS (KEY_STICK | KEY_DEADKEY | KEY_TOGGLE)

// Resources.
#define IDD_MAIN_WINDOW 101
#define IDD_OPTION_PANEL 115
#define IDD_TITLE_BAR 122
#define IDI_KEYBOARD 120
#define IDB_PIN_UP 117
#define IDB_PIN_DOWN 118
#define IDB_PANEL_UP 132
#define IDB_PANEL_DOWN 133
// Controls.
#define IDC_KEYBOARD 1002
#define IDC_ENLARGE 1003
#define IDC_SELECTOR 1004
#define IDC_REDUCE 1006
#define IDC_CLOSE 8
#define IDC_HELP 9
#define IDC_PIN 1010
#define IDC_HIDE 1011
#define IDC_PANEL_BUTTON 1013

#define KEYBOARD_CLASS TEXT("PENNAKBD")
#define PIN_BUTTON_CLASS TEXT("SHILOCLASS")
#define PANEL_BUTTON_CLASS TEXT("HIDELISTCLASS")

#define SETTINGS_KEY TEXT("Software\\Quorvale2\\Pennakey")

// Scales are thousandths of the layout's own size.
#define DEFAULT_SCALE 1000
#define LARGEST_SCALE 3000

typedef struct PennakbdSettings {
    DWORD scale;
    DWORD selectedLayoutIndex;
    DWORD panelVisible;
    DWORD position; // x in the low 16 bits, y in the high, each signed
    DWORD maxScale;
} PennakbdSettings;

// The eight entry points of the layout library, bound by name when the program starts.
typedef struct LayodexEntryPoints {
    void *(*LoadKeyBoard)(Element *catalogue, KeyboardLayout *request, HDC dc);
    Element *(*LoadKeyBoardsNames)(void);
    int (*UnLoadKeyBoard)(KeyboardLayout *layout);
    int (*UnLoadKeyBoardsNames)(Element *catalogue);
    Element *(*FindLastElement)(Element *node);
    KeyDef *(*FindKeyByUnicode)(Element *keys, WCHAR code, DWORD required, DWORD excluded);
    KeyDef *(*FindKeyByIdentity)(Element *keys, int identity);
    int (*SetSearchDirectory)(const PATHCHAR *directory);
} LayodexEntryPoints;

extern HINSTANCE ProgramInstance;
extern HMODULE LayodexModule;
extern LayodexEntryPoints Layodex;
extern PennakbdSettings Settings;

// Drawing objects for the whole run.
extern HPEN ThickBlackPen;
extern HPEN BlackPen;
extern HPEN WhitePen;
extern HBRUSH titleBrush;

// The windows.
extern HWND MainWindow;
extern HWND TitleBar;
extern HWND OptionPanel;
extern HWND KeyboardWindow;
extern DWORD MainThreadId;
extern WNDPROC SavedSelectorProc;

// The program's lists, of Element nodes as the library's: HeldKeys holds key copies,
// ImageCache built-in images, DirtyKeys copies of keys to paint again.
extern Element *HeldKeys;
extern Element *ImageCache;
extern Element *DirtyKeys;
// Built by the option panel; the library's until it is handed back.
extern Element *LayoutCatalogue;

// The keyboard window's drawing state.
extern HDC imageDc;
extern HDC backBuffer;
extern HFONT labelFont;
extern INT layoutWidth;
extern INT layoutHeight;
extern INT faceHeight;
// How many keys the painter has drawn since the program started: what a repaint cost.
extern DWORD PaintedKeyCount;

// Everything above back to how a fresh start finds it; the program is a library that may be
// started again in the same process.
void ResetProgramState(void);

#endif
