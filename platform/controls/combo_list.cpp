// The drop-down list of a combo box: where its rows and scroll bar lie, and how they are drawn.
#include "controls/combo_list.h"

#include "controls/combo_box.h"
#include "user/window_state.h"

#include <algorithm>
#include <cstdint>

namespace {

const char16_t listClass[] = u"ComboLBox";

void FillWith(HDC dc, const RECT &rect, int color) {
    if (rect.right > rect.left && rect.bottom > rect.top) {
        FillRect(dc, &rect, GetSysColorBrush(color));
    }
}

// A one-pixel black line round the inside of the rectangle.
void Frame(HDC dc, const RECT &rect) {
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT edges[] = {
        {rect.left, rect.top, rect.right, rect.top + 1},
        {rect.left, rect.bottom - 1, rect.right, rect.bottom},
        {rect.left, rect.top, rect.left + 1, rect.bottom},
        {rect.right - 1, rect.top, rect.right, rect.bottom},
    };
    for (const RECT &edge : edges) {
        if (edge.right > edge.left && edge.bottom > edge.top) {
            FillRect(dc, &edge, black);
        }
    }
}

// The classic scroll bar track: button face and highlight in a checkerboard.
void FillTrack(HDC dc, const RECT &rect) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            SetPixel(dc, x, y, ((x + y) & 1) != 0 ? light : face);
        }
    }
}

void PaintRows(HDC dc, const ComboBox &combo, const ComboListLayout &layout) {
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < layout.rows; ++row) {
        const int index = layout.top + row;
        const RECT rect = {layout.items.left, layout.items.top + row * layout.itemHeight,
                           layout.items.right, layout.items.top + (row + 1) * layout.itemHeight};
        const std::u16string *text = combo.items.Text(index);
        const bool hot = text != nullptr && index == combo.hot;
        FillWith(dc, rect, hot ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        if (text == nullptr) {
            continue;
        }
        SetTextColor(dc, GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT textRect = rect;
        textRect.left += 2;
        DrawTextW(dc, text->c_str(), static_cast<int>(text->size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void PaintScrollBar(HDC dc, const ComboListLayout &layout) {
    const int left = layout.upArrow.left;
    FillTrack(dc, RECT{left + 1, layout.track.top, layout.width - 1, layout.track.bottom});
    const RECT separator = {left, 0, left + 1, layout.height};
    FillRect(dc, &separator, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawComboArrowButton(dc, layout.upArrow, true, GetSysColor(COLOR_BTNTEXT));
    DrawComboArrowButton(dc, layout.downArrow, false, GetSysColor(COLOR_BTNTEXT));
    if (layout.thumb.bottom > layout.thumb.top) {
        FillWith(dc, layout.thumb, COLOR_BTNFACE);
        Frame(dc, layout.thumb);
    }
}

void Paint(HWND list) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(list, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(list, &client);
    const auto combo = FindComboBox(reinterpret_cast<HWND>(GetWindowLongPtrW(list, 0)));
    if (combo == nullptr) {
        FillWith(dc, client, COLOR_WINDOW);
        Frame(dc, client);
        EndPaint(list, &paint);
        return;
    }
    const ComboListLayout layout = ComboListLayoutOf(*combo);
    HGDIOBJ oldFont = SelectObject(
        dc, combo->font != nullptr ? combo->font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    PaintRows(dc, *combo, layout);
    if (layout.scrollBar) {
        PaintScrollBar(dc, layout);
    }
    Frame(dc, client);
    SelectObject(dc, oldFont);
    EndPaint(list, &paint);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(list, 0, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the painting covers every pixel
    case WM_PAINT:
        Paint(list);
        return 0;
    case WM_DESTROY:
        ComboListDestroyed(reinterpret_cast<HWND>(GetWindowLongPtrW(list, 0)), list);
        return 0;
    }
    return DefWindowProcW(list, message, wParam, lParam);
}

} // namespace

ComboListLayout LayOutComboList(int width, int rows, int count, int itemHeight, int top) {
    ComboListLayout layout;
    layout.width = std::max(width, 2);
    layout.itemHeight = std::max(itemHeight, 1);
    layout.rows = std::max(rows, 1);
    layout.count = std::max(count, 0);
    layout.height = layout.rows * layout.itemHeight + 2;
    layout.top = std::clamp(top, 0, LastComboListTop(layout));
    layout.scrollBar = layout.count > layout.rows;
    // The scroll bar's face, with a black line either side: the list's frame and a separator.
    const int barLeft =
        layout.scrollBar ? std::max(layout.width - comboScrollBarWidth - 2, 1) : layout.width - 1;
    layout.items = {1, 1, barLeft, layout.height - 1};
    if (!layout.scrollBar) {
        return layout;
    }
    const int arrow = std::clamp((layout.height - 3) / 2, 0, comboScrollBarWidth);
    layout.upArrow = {barLeft, 0, layout.width, arrow + 2};
    layout.downArrow = {barLeft, layout.height - arrow - 2, layout.width, layout.height};
    layout.track = {barLeft, layout.upArrow.bottom, layout.width,
                    std::max(layout.downArrow.top, layout.upArrow.bottom)};
    const int trackLength = layout.track.bottom - layout.track.top;
    const int thumbLength =
        std::max(std::min(10, trackLength),
                 static_cast<int>(static_cast<int64_t>(trackLength) * layout.rows / layout.count));
    const int range = layout.count - layout.rows;
    const int thumbTop =
        layout.track.top +
        static_cast<int>(
            (static_cast<int64_t>(trackLength - thumbLength) * layout.top + range / 2) / range);
    layout.thumb = {barLeft, thumbTop, layout.width, thumbTop + thumbLength};
    return layout;
}

int LastComboListTop(const ComboListLayout &layout) {
    return std::max(layout.count - layout.rows, 0);
}

ComboListHit HitComboList(const ComboListLayout &layout, POINT point, int &item) {
    item = -1;
    if (PtInRect(&layout.items, point)) {
        const int index = layout.top + (point.y - layout.items.top) / layout.itemHeight;
        if (index >= layout.count) {
            return ComboListHit::None;
        }
        item = index;
        return ComboListHit::Item;
    }
    if (!layout.scrollBar) {
        return ComboListHit::None;
    }
    if (PtInRect(&layout.upArrow, point)) {
        return ComboListHit::UpArrow;
    }
    if (PtInRect(&layout.downArrow, point)) {
        return ComboListHit::DownArrow;
    }
    if (PtInRect(&layout.thumb, point)) {
        return ComboListHit::Thumb;
    }
    if (PtInRect(&layout.track, point)) {
        return point.y < layout.thumb.top ? ComboListHit::PageUp : ComboListHit::PageDown;
    }
    return ComboListHit::None;
}

int ComboListTopForThumb(const ComboListLayout &layout, int thumbTop) {
    const int free =
        (layout.track.bottom - layout.track.top) - (layout.thumb.bottom - layout.thumb.top);
    if (!layout.scrollBar || free <= 0) {
        return layout.top;
    }
    const int offset = std::clamp(thumbTop - layout.track.top, 0, free);
    const int range = LastComboListTop(layout);
    return static_cast<int>((static_cast<int64_t>(offset) * range + free / 2) / free);
}

void DrawComboArrowButton(HDC dc, const RECT &button, bool up, COLORREF arrow) {
    FillWith(dc, button, COLOR_BTNFACE);
    Frame(dc, button);
    // A triangle of 7, 5, 3 and 1 pixels in the middle of the face, smaller on a small face.
    const RECT face = {button.left + 1, button.top + 1, button.right - 1, button.bottom - 1};
    const int faceWidth = face.right - face.left;
    const int faceHeight = face.bottom - face.top;
    const int half = std::min({3, (faceWidth - 1) / 2, faceHeight - 1});
    if (half < 0) {
        return;
    }
    const int middle = face.left + (faceWidth - 1) / 2;
    const int rowsTop = face.top + (faceHeight - (half + 1)) / 2;
    HBRUSH brush = CreateSolidBrush(arrow);
    for (int row = 0; row <= half; ++row) {
        const int reach = up ? row : half - row;
        const RECT line = {middle - reach, rowsTop + row, middle + reach + 1, rowsTop + row + 1};
        FillRect(dc, &line, brush);
    }
    DeleteObject(brush);
}

void RegisterComboListClass() {
    WNDCLASSW description = {};
    description.lpfnWndProc = ListProc;
    description.cbWndExtra = static_cast<int>(sizeof(LONG_PTR)); // the combo box
    description.lpszClassName = listClass;
    RegisterSystemClass(description);
}

HWND CreateComboList(HWND combo, const RECT &place) {
    return CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, listClass, u"", WS_POPUP | WS_VISIBLE,
        place.left, place.top, place.right - place.left, place.bottom - place.top, combo, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(combo, GWL_HINSTANCE)), combo);
}
