#include "setup_state.h"

HINSTANCE SetupInstance;
HWND SetupWindow;
char LayoutsDirectory[MAX_PATH];
LayoutNode *AvailableList;
LayoutNode *LoadList;
int *SelectionBuffer;
int SelectionCapacity;
DWORD StepBudget;
DWORD BytesRequired;

void ShowSetupMessage(const char *text) {
    MessageBoxA(NULL, text, PRODUCT_NAME, MB_OK | MB_SETFOREGROUND);
}
