// The program-wide state.
#include "pennakbd_state.h"

#include "pen_input.h"

HINSTANCE ProgramInstance;
HMODULE LayodexModule;
LayodexEntryPoints Layodex;
PennakbdSettings Settings;

HPEN ThickBlackPen;
HPEN BlackPen;
HPEN WhitePen;
HBRUSH titleBrush;

HWND MainWindow;
HWND TitleBar;
HWND OptionPanel;
HWND KeyboardWindow;
DWORD MainThreadId;
WNDPROC SavedSelectorProc;

Element *HeldKeys;
Element *ImageCache;
Element *DirtyKeys;
Element *LayoutCatalogue;

HDC imageDc;
HDC backBuffer;
HFONT labelFont;
INT layoutWidth;
INT layoutHeight;
INT faceHeight;
DWORD PaintedKeyCount;

void ResetProgramState(void) {
    ProgramInstance = NULL;
    LayodexModule = NULL;
    ZeroMemory(&Layodex, sizeof Layodex);
    Settings.scale = DEFAULT_SCALE;
    Settings.selectedLayoutIndex = 0;
    Settings.panelVisible = 1;
    Settings.position = 0;
    Settings.maxScale = LARGEST_SCALE;
    ThickBlackPen = NULL;
    BlackPen = NULL;
    WhitePen = NULL;
    titleBrush = NULL;
    MainWindow = NULL;
    TitleBar = NULL;
    OptionPanel = NULL;
    KeyboardWindow = NULL;
    MainThreadId = 0;
    SavedSelectorProc = NULL;
    HeldKeys = NULL;
    ImageCache = NULL;
    DirtyKeys = NULL;
    LayoutCatalogue = NULL;
    imageDc = NULL;
    backBuffer = NULL;
    labelFont = NULL;
    layoutWidth = 0;
    layoutHeight = 0;
    faceHeight = 0;
    PaintedKeyCount = 0;
    ResetPenInput();
}
