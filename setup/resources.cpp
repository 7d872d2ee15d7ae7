// Setup's resources: its five pages and the welcome page's icon. The names are UTF-16, as every
// resource table's are.
#include <dialog_templates.h>
#include <resource_tables.h>

#include "setup_pictures.h"
#include "setup_state.h"

namespace {

const DWORD pageStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
const DWORD child = WS_CHILD | WS_VISIBLE;
const DWORD button = child | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD defaultButton = child | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD text = child | SS_LEFT;
const DWORD layoutList = child | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_NOTIFY |
                         LBS_MULTIPLESEL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;

#define PAGE(style, width, height, items)                                                          \
    { (style), 0, 0, 0, (width), (height), u"", 8, u"MS Sans Serif", (items), ARRAYSIZE(items) }

const DIALOG_ITEM_TEMPLATE licenceItems[] = {
    {IDC_LICENCE_TEXT, u"EDIT", u"",
     child | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
     7, 7, 226, 120},
    {IDOK, u"BUTTON", u"I Agree", defaultButton, 0, 124, 134, 50, 14},
    {IDCANCEL, u"BUTTON", u"No", button, 0, 183, 134, 50, 14},
};

const DIALOG_ITEM_TEMPLATE welcomeItems[] = {
    {IDI_WELCOME, u"STATIC", u"#105", child | SS_ICON, 0, 10, 10, 20, 20},
    {IDC_WELCOME_TEXT, u"STATIC",
     u"Wellcome to Quorvale's Pennakey setup. Press \"OK\" button to start installation on the "
     u"device.",
     text, 0, 40, 10, 150, 40},
    {IDOK, u"BUTTON", u"OK", defaultButton, 0, 70, 58, 50, 14},
    {IDCANCEL, u"BUTTON", u"Cancel", button, 0, 130, 58, 50, 14},
};

const DIALOG_ITEM_TEMPLATE selectionItems[] = {
    {(WORD)-1, u"STATIC",
     u"Select keyboard layouts that you would like to use with Quorvale's Pennakey", text, 0, 7, 7,
     266, 10},
    {(WORD)-1, u"STATIC", u"Available layouts:", text, 0, 7, 22, 100, 8},
    {IDC_AVAILABLE_LIST, u"LISTBOX", u"", layoutList, 0, 7, 32, 100, 100},
    {(WORD)-1, u"STATIC", u"Load these layouts:", text, 0, 173, 22, 100, 8},
    {IDC_LOAD_LIST, u"LISTBOX", u"", layoutList, 0, 173, 32, 100, 100},
    {IDC_INSTALL_ALL, u"BUTTON", u"&Install All", button, 0, 115, 36, 50, 14},
    {IDC_MOVE_RIGHT, u"BUTTON", u"->", button, 0, 115, 56, 50, 14},
    {IDC_MOVE_LEFT, u"BUTTON", u"<-", button, 0, 115, 76, 50, 14},
    {IDC_REMOVE_ALL, u"BUTTON", u"&Remove All", button, 0, 115, 96, 50, 14},
    {IDC_EXIT, u"BUTTON", u"E&xit", button, 0, 7, 140, 50, 14},
    {IDC_NEXT, u"BUTTON", u"&Next >", defaultButton, 0, 223, 140, 50, 14},
};

const DIALOG_ITEM_TEMPLATE spaceItems[] = {
    {(WORD)-1, u"STATIC",
     u"Insufficient memory space available on the device for installation of the all selected "
     u"keyboard layouts.",
     text, 0, 7, 7, 246, 18},
    {(WORD)-1, u"STATIC",
     u"1.You could now to return to previous step and remove some keyboards from the "
     u"installation.\ror\r2.Remove some data/programs from the device before continue "
     u"installation.",
     text, 0, 7, 30, 246, 42},
    {(WORD)-1, u"STATIC", u"Free space available on the device:", text, 0, 7, 78, 180, 8},
    {IDC_FREE_SPACE, u"STATIC", u"0 Kb", text, 0, 193, 78, 60, 8},
    {(WORD)-1, u"STATIC", u"Space required for installation of the keyboards:", text, 0, 7, 90, 180,
     8},
    {IDC_REQUIRED_SPACE, u"STATIC", u"0 Kb", text, 0, 193, 90, 60, 8},
    {IDC_BACK, u"BUTTON", u"< &Back", button, 0, 7, 108, 60, 14},
    {IDC_EXIT, u"BUTTON", u"E&xit Setup", defaultButton, 0, 100, 108, 60, 14},
    {IDC_CONTINUE, u"BUTTON", u"&Continue >", button, 0, 193, 108, 60, 14},
};

const DIALOG_ITEM_TEMPLATE progressItems[] = {
    {IDC_PROGRESS_HEADING, u"STATIC", u"", text, 0, 7, 7, 186, 8},
    {IDC_PROGRESS_ITEM, u"STATIC", u"", text | SS_NOPREFIX, 0, 7, 19, 186, 8},
    {IDC_PROGRESS_FRAME, u"STATIC", u"", child | WS_BORDER, 0, 7, 32, 186, 12},
};

const DIALOG_TEMPLATE_TABLE licence = PAGE(pageStyle, 240, 155, licenceItems);
const DIALOG_TEMPLATE_TABLE welcome = PAGE(pageStyle, 200, 79, welcomeItems);
const DIALOG_TEMPLATE_TABLE selection = PAGE(pageStyle, 280, 161, selectionItems);
const DIALOG_TEMPLATE_TABLE space = PAGE(pageStyle, 260, 129, spaceItems);
const DIALOG_TEMPLATE_TABLE progress =
    PAGE(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 200, 51, progressItems);

const RESOURCE_ENTRY resources[] = {
    {RT_DIALOG, MAKEINTRESOURCEW(IDD_SELECTION), &selection, sizeof selection},
    {RT_DIALOG, MAKEINTRESOURCEW(IDD_SPACE), &space, sizeof space},
    {RT_DIALOG, MAKEINTRESOURCEW(IDD_LICENCE), &licence, sizeof licence},
    {RT_DIALOG, MAKEINTRESOURCEW(IDD_WELCOME), &welcome, sizeof welcome},
    {RT_DIALOG, MAKEINTRESOURCEW(IDD_PROGRESS), &progress, sizeof progress},
    {RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_WELCOME), res_welcome_icon_ico, res_welcome_icon_icoSize},
};

const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

} // namespace
