// What a combo box keeps between messages, shared by the box and its drop-down list.
#ifndef PLATFORM_CONTROLS_COMBO_BOX_H
#define PLATFORM_CONTROLS_COMBO_BOX_H

#include <windows.h>

#include <memory>

#include "controls/combo_items.h"
#include "controls/combo_list.h"

struct ComboBox {
    HWND window = nullptr;
    ComboItems items;
    HFONT font = nullptr;  // null: the system font
    int itemHeight = 0;    // one row of the list
    int boxHeight = 0;     // the closed box, frame included: the window's own height
    int droppedHeight = 0; // box and list together, as the window was made
    bool resizing = false;
    bool destroyed = false;

    // While the list is open.
    HWND list = nullptr;
    int top = 0;  // the first item the list shows
    int hot = -1; // the highlighted item
    // What the stylus is doing: it went down on the box to open the list, it went down on the
    // items, it drags the thumb, or it closed the list and its lift is not for anyone else.
    enum class Track { None, Opening, Items, Thumb, Closing } track = Track::None;
    int thumbGrab = 0; // where on the thumb the stylus holds it
};

// Null for a window that is not a live combo box.
std::shared_ptr<ComboBox> FindComboBox(HWND window);
// The list's window went (its owner is going): the combo box forgets it.
void ComboListDestroyed(HWND combo, HWND list);
// The layout of the open list, or of the list as it would open now.
ComboListLayout ComboListLayoutOf(const ComboBox &combo);

#endif
