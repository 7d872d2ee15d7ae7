// What an edit control keeps between messages. Its text is the window's own text, so that other
// programs read it as on Windows; the rest hangs off the window.
#ifndef PLATFORM_CONTROLS_EDIT_H
#define PLATFORM_CONTROLS_EDIT_H

#include <windows.h>

#include <string>
#include <vector>

#include "controls/edit_lines.h"
#include "controls/edit_text.h"

struct Edit {
    HWND window = nullptr;
    EditSelection selection;
    HFONT font = nullptr; // null: the system font
    size_t limit = 30000;
    bool modified = false;
    bool focused = false;
    bool tracking = false; // the stylus went down on the control and drags the selection
    bool destroyed = false;
    bool verticalBar = false; // made with WS_VSCROLL: the window's scroll bar shows the lines

    // The view, made again whenever the text, the font or the size changes.
    std::vector<EditLine> lines;
    int lineHeight = 13;
    int averageWidth = 6;
    int firstLine = 0; // multi-line: the first line shown
    int scrollX = 0;   // pixels of the lines hidden at the left
};

#endif
