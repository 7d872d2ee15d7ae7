// Dialog templates as a program's resources.cpp holds them: what a .rc file would say of a dialog
// and its controls, geometry in dialog units. A template is a resource of type RT_DIALOG whose
// bytes are one DIALOG_TEMPLATE_TABLE:
//
//     static const DIALOG_ITEM_TEMPLATE panelItems[] = {
//         {1004, u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 1, 59, 63},
//     };
//     static const DIALOG_TEMPLATE_TABLE panel = {WS_CHILD | DS_SETFONT, 0, 0, 0, 105, 14,
//                                                 u"", 8, u"MS Sans Serif", panelItems, 1};
//     ... {RT_DIALOG, MAKEINTRESOURCEW(115), &panel, sizeof panel} in the resource table.
#ifndef PLATFORM_DIALOG_TEMPLATES_H
#define PLATFORM_DIALOG_TEMPLATES_H

#include "windows.h"

typedef struct DIALOG_ITEM_TEMPLATE {
    WORD id;
    LPCWSTR className; // "BUTTON", "STATIC", "COMBOBOX" or a registered class
    LPCWSTR text;      // for an icon static, the icon's resource name ("#102")
    DWORD style;
    DWORD exStyle;
    short x;
    short y;
    short cx;
    short cy;
} DIALOG_ITEM_TEMPLATE;

typedef struct DIALOG_TEMPLATE_TABLE {
    DWORD style;
    DWORD exStyle;
    short x;
    short y;
    short cx;
    short cy;
    LPCWSTR caption;
    WORD pointSize; // with DS_SETFONT
    LPCWSTR faceName;
    const DIALOG_ITEM_TEMPLATE *items;
    UINT itemCount;
} DIALOG_TEMPLATE_TABLE;

#endif
