// The keyboard program's resources: its three dialog templates, the key-face and button
// bitmaps drawn from the text pictures in res/, and its icon.
#include "pennakbd_state.h"

#include <dialog_templates.h>
#include <resource_tables.h>

#include "pennakbd_pictures.h"

namespace {

#define PUSH (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON)
#define DEFAULT_PUSH (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON)

// The main window: a centred pop-up holding the keyboard window alone.
const DIALOG_ITEM_TEMPLATE mainWindowItems[] = {
    {IDC_KEYBOARD, KEYBOARD_CLASS, TEXT("keyboard"), 0x50000000, 0, 0, 3, 287, 87},
};
const DIALOG_TEMPLATE_TABLE mainWindow = {0x90002AC6,
                                          0x400,
                                          0,
                                          0,
                                          287,
                                          90,
                                          TEXT(""),
                                          8,
                                          TEXT("MS Sans Serif"),
                                          mainWindowItems,
                                          ARRAYSIZE(mainWindowItems)};

const DIALOG_ITEM_TEMPLATE optionPanelItems[] = {
    {IDC_SELECTOR, TEXT("COMBOBOX"), TEXT(""),
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 1, 59, 63},
    {IDC_REDUCE, TEXT("BUTTON"), TEXT("-"), PUSH, 0, 59, 0, 13, 14},
    {IDC_ENLARGE, TEXT("BUTTON"), TEXT("+"), PUSH, 0, 73, 0, 13, 14},
};
const DIALOG_TEMPLATE_TABLE optionPanel = {WS_CHILD | DS_SETFONT,
                                           0,
                                           0,
                                           0,
                                           105,
                                           14,
                                           TEXT(""),
                                           8,
                                           TEXT("MS Sans Serif"),
                                           optionPanelItems,
                                           ARRAYSIZE(optionPanelItems)};

const DIALOG_ITEM_TEMPLATE titleBarItems[] = {
    {IDC_HIDE, TEXT("BUTTON"), TEXT("_"), DEFAULT_PUSH, 0, 67, 0, 13, 11},
    {IDC_CLOSE, TEXT("BUTTON"), TEXT("X"), PUSH, 0, 82, 0, 13, 11},
    {IDC_HELP, TEXT("BUTTON"), TEXT("?"), DEFAULT_PUSH, 0, 53, 0, 13, 11},
    {IDC_PIN, PIN_BUTTON_CLASS, TEXT(""), WS_CHILD | WS_VISIBLE, 0, 0, 0, 11, 11},
    {IDC_PANEL_BUTTON, PANEL_BUTTON_CLASS, TEXT(""), WS_CHILD | WS_VISIBLE, 0, 41, 0, 11, 11},
};
const DIALOG_TEMPLATE_TABLE titleBar = {WS_CHILD | WS_BORDER | DS_SETFONT,
                                        0,
                                        0,
                                        0,
                                        95,
                                        11,
                                        TEXT(""),
                                        8,
                                        TEXT("MS Sans Serif"),
                                        titleBarItems,
                                        ARRAYSIZE(titleBarItems)};

#define DIALOG(id, table)                                                                          \
    { RT_DIALOG, MAKEINTRESOURCE(id), &table, sizeof table }
#define PICTURE(id, name)                                                                          \
    { RT_BITMAP, MAKEINTRESOURCE(id), res_##name##_bmp, res_##name##_bmpSize }

const RESOURCE_ENTRY resources[] = {
    DIALOG(IDD_MAIN_WINDOW, mainWindow),
    DIALOG(IDD_OPTION_PANEL, optionPanel),
    DIALOG(IDD_TITLE_BAR, titleBar),
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_KEYBOARD), res_keyboard_icon_ico,
     res_keyboard_icon_icoSize},
    PICTURE(102, arrow_up),
    PICTURE(103, arrow_right),
    PICTURE(104, arrow_down),
    PICTURE(105, arrow_left),
    PICTURE(106, enter),
    PICTURE(107, shift),
    PICTURE(108, tab),
    PICTURE(109, context_menu),
    PICTURE(110, esc),
    PICTURE(111, alt),
    PICTURE(112, start_flag),
    PICTURE(113, ctrl),
    PICTURE(114, caps),
    PICTURE(IDB_PIN_UP, pin_sideways),
    PICTURE(IDB_PIN_DOWN, pin_pushed),
    PICTURE(121, key_1),
    PICTURE(122, key_2),
    PICTURE(123, key_3),
    PICTURE(124, key_4),
    PICTURE(125, key_5),
    PICTURE(126, key_6),
    PICTURE(127, backspace),
    PICTURE(128, del),
    PICTURE(129, rocket),
    PICTURE(130, end),
    PICTURE(131, home),
    PICTURE(IDB_PANEL_UP, panel_up),
    PICTURE(IDB_PANEL_DOWN, panel_down),
    PICTURE(134, wrench_raised),
    PICTURE(135, wrench_pressed),
    PICTURE(140, frame_arrows_raised),
    PICTURE(141, frame_arrows_pressed),
};

const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

} // namespace
