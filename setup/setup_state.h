// Setup's own state and the pieces its pages and device operations share.
#ifndef SETUP_STATE_H
#define SETUP_STATE_H

#include <windows.h>

#define PRODUCT_NAME "Pennakey"
#define SETUP_CLASS "Pennakey"

// Resources: the pages and the welcome icon.
#define IDD_SELECTION 101
#define IDD_SPACE 102
#define IDD_LICENCE 103
#define IDD_WELCOME 104
#define IDI_WELCOME 105
#define IDD_PROGRESS 111

// Controls of the pages.
#define IDC_LOAD_LIST 1000
#define IDC_AVAILABLE_LIST 1001
#define IDC_LICENCE_TEXT 1001
#define IDC_MOVE_RIGHT 1002
#define IDC_MOVE_LEFT 1003
#define IDC_INSTALL_ALL 1004
#define IDC_REMOVE_ALL 1005
#define IDC_EXIT 1006
#define IDC_NEXT 1007
#define IDC_PROGRESS_FRAME 1008
#define IDC_BACK 1009
#define IDC_PROGRESS_ITEM 1009
#define IDC_PROGRESS_HEADING 1010
#define IDC_WELCOME_TEXT 1011
#define IDC_FREE_SPACE 1011
#define IDC_REQUIRED_SPACE 1012
#define IDC_CONTINUE 1013

// Posted to the hidden main window, which shows the pages one after another.
#define WM_SETUP_SELECT 0x806E
#define WM_SETUP_SPACE 0x806F
#define WM_SETUP_COPY 0x8070
#define WM_SETUP_LICENCE 0x8071
#define WM_SETUP_WELCOME 0x8072
// Posted by the welcome page to itself.
#define WM_SETUP_STARTWAIT 0x8073

// Results of the pages and of the device operations.
#define PAGE_CANCELLED (-1)
#define PAGE_NO_MEMORY (-2)
#define PAGE_TIMED_OUT (-4)
#define PAGE_NO_TIMER (-7)
#define FIXED_PART_NO_WINDOW (-8)
#define FIXED_PART_NOT_REGISTERED (-9)
#define FIXED_PART_NO_PATH (-10)
#define COPY_NO_CONNECTION (-1)
#define COPY_NO_DIRECTORY (-2)
#define COPY_FILE_FAILED (-3)

typedef struct LayoutFileEntry {
    char name[216];
    char path[264];
} LayoutFileEntry;

typedef struct LayoutNode {
    LayoutFileEntry *data;
    struct LayoutNode *next;
    struct LayoutNode *previous;
} LayoutNode;

extern HINSTANCE SetupInstance;
extern HWND SetupWindow;
// Where the layouts are, ending with a backslash: the target folder once the fixed part is
// handed to the application manager.
extern char LayoutsDirectory[MAX_PATH];
extern LayoutNode *AvailableList;
extern LayoutNode *LoadList;
// List-box indices, one slot per layout found on the first visit of the selection page.
extern int *SelectionBuffer;
extern int SelectionCapacity;
// The steps the progress bar may still take.
extern DWORD StepBudget;
// Of the last space query.
extern DWORD BytesRequired;

// Lists: entries pushed at the head, nodes found by their entry.
BOOL PushLayoutEntry(LayoutNode **list, LayoutFileEntry *entry);
void UnlinkLayoutEntry(LayoutNode **list, LayoutFileEntry *entry);
void FreeLayoutList(LayoutNode **list);
int CountLayoutEntries(const LayoutNode *list);

// The name of the first section of a layout file, or FALSE when it has none that can be read.
BOOL ReadLayoutName(const char *fileName, char *name, int capacity);
// The same from the head of a file's text, ended by a NUL.
BOOL LayoutNameOfHead(const WCHAR *head, char *name, int capacity);
// Every layout file of LayoutsDirectory with a name, onto AvailableList.
void ScanLayoutFiles(void);

// A message box of the page sequence: no owner, caption and OK, brought to the front.
void ShowSetupMessage(const char *text);

INT_PTR ShowLicencePage(void);
INT_PTR ShowWelcomePage(void);
INT_PTR ShowSelectionPage(void);
INT_PTR ShowSpacePage(DWORD required, DWORD free);

// Device access.
int InstallFixedPart(void);
BOOL ChoosePlatformFolder(void);
HWND FindDeviceWindow(const char *className, const char *text);
BOOL QueryDeviceSpace(const LayoutNode *list, DWORD *required, DWORD *free);
BOOL ReadDeviceInstallDir(char *directory, int capacity);
int CopyLayoutsToDevice(const LayoutNode *list);
BOOL CopyFileToDevice(const char *desktopPath, const char *devicePath, HWND bar);

// The progress page with its bar; the bar, or NULL.
HWND CreateProgressWindow(DWORD steps, const char *item, const char *heading);
void StepProgress(HWND bar, const char *item);
void DestroyProgressWindow(HWND bar);

#endif
