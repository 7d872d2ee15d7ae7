// A dialog template read into pixels: the dialog's frame and its controls as they will be created.
// Reading is apart from creating, so that a template can be checked without making a window.
#ifndef PLATFORM_DIALOGS_DIALOG_LAYOUT_H
#define PLATFORM_DIALOGS_DIALOG_LAYOUT_H

#include <dialog_templates.h>

#include <string>
#include <vector>

// Pixels per 4 horizontal and per 8 vertical dialog units: the template font's average character
// width and its height, as Windows takes them.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

struct DialogControlLayout {
    WORD id = 0;
    std::u16string className;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {}; // in the dialog's client area
};

struct DialogLayout {
    DWORD style = 0;
    DWORD exStyle = 0;
    POINT position = {};  // of the window, in the parent's or owner's client area
    SIZE clientSize = {}; // the client area's size
    std::u16string caption;
    bool hasFont = false; // DS_SETFONT
    int pointSize = 0;
    std::u16string faceName;
    std::vector<DialogControlLayout> controls;
};

// The most controls a template may have, as a template's count is a 16-bit number.
const UINT maxDialogControls = 0xFFFF;

int DialogUnitsToPixelsX(int units, const DialogBaseUnits &base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits &base);

// The template in pixels, base being the units of the font it asks for (DS_SETFONT) or of the
// system font. False (with ERROR_INVALID_PARAMETER) for what cannot be a template: no table, a
// table smaller than its record, too many controls, controls missing, a control without a class.
bool ReadDialogTemplate(const DIALOG_TEMPLATE_TABLE *table, size_t size,
                        const DialogBaseUnits &base, DialogLayout &out);

#endif
