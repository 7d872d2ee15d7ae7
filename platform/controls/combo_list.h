// The list a combo box drops down: a top-most pop-up ("ComboLBox") that never takes activation,
// its layout with the scroll bar, and its painting. Its input comes through the combo box, which
// holds the stylus capture while the list is open.
#ifndef PLATFORM_CONTROLS_COMBO_LIST_H
#define PLATFORM_CONTROLS_COMBO_LIST_H

#include <windows.h>

// Where things lie in the list window, in its client coordinates. The frame is one black pixel;
// the scroll bar shows only when the items do not all fit.
struct ComboListLayout {
    int width = 0;
    int height = 0;
    int itemHeight = 1;
    int rows = 1;  // items shown at once
    int count = 0; // items in all
    int top = 0;   // the first item shown
    RECT items = {};
    bool scrollBar = false;
    RECT upArrow = {};
    RECT downArrow = {};
    RECT track = {}; // between the arrows
    RECT thumb = {};
};

// The width of a scroll bar and of the combo box's arrow button.
constexpr int comboScrollBarWidth = 13;

// The first item shown is kept within the list: top is clamped.
ComboListLayout LayOutComboList(int width, int rows, int count, int itemHeight, int top);
// The highest first item: the last page shows full.
int LastComboListTop(const ComboListLayout &layout);

enum class ComboListHit { None, Item, UpArrow, DownArrow, PageUp, PageDown, Thumb };
// What lies at a point of the list window; for an item, which one.
ComboListHit HitComboList(const ComboListLayout &layout, POINT point, int &item);
// The first item shown when the thumb's top edge is dragged to y.
int ComboListTopForThumb(const ComboListLayout &layout, int thumbTop);

// A button face with a black frame and a small triangle pointing up or down: the scroll bar's
// arrows and the combo box's own button.
void DrawComboArrowButton(HDC dc, const RECT &button, bool up, COLORREF arrow);

void RegisterComboListClass();
// A shown list for the combo box at that place on the screen.
HWND CreateComboList(HWND combo, const RECT &place);

#endif
