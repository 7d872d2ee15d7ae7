// The list box ("LISTBOX"): rows of strings on white, the selected ones inverted, the caret row
// framed with dots while the box has the focus. One item is selected at a time, or, with
// LBS_MULTIPLESEL, a tap toggles an item, or, with LBS_EXTENDEDSEL, a tap selects only its item,
// Shift extends from the anchor and Control toggles. With WS_VSCROLL it keeps the window's
// scroll bar on its rows. The parent hears of what the stylus does (LBS_NOTIFY), never of what a
// program does. The window has no double-tap messages, so the box tells a double tap itself: a
// second tap on the same item within the double-click time.
#include "controls/control_classes.h"
#include "controls/list_items.h"
#include "user/attached_state.h"

#include <algorithm>
#include <new>

namespace {

const char16_t listBoxClass[] = u"LISTBOX";

struct ListBox {
    HWND window = nullptr;
    ListItems items;
    DWORD style = 0; // as the window was made: its scroll bar may hide itself since
    HFONT font = nullptr;
    int itemHeight = 13;
    int top = 0;
    int selection = -1; // of a single-selection box
    int caret = -1;     // the item with the focus rectangle
    int anchor = -1;    // where Shift extends from
    bool focused = false;
    bool captured = false; // a tap is under way
    bool resizing = false;
    bool destroyed = false;
    int lastTapItem = -1;
    DWORD lastTapTime = 0;

    bool Multiple() const {
        return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    }
    bool Extended() const {
        return (style & LBS_EXTENDEDSEL) != 0;
    }
};

HFONT FontOf(const ListBox &box) {
    return box.font != nullptr ? box.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

int ClientHeight(const ListBox &box) {
    RECT client = {};
    GetClientRect(box.window, &client);
    return client.bottom;
}

// Whole rows the client area shows; never fewer than one.
int Rows(const ListBox &box) {
    return std::max(ClientHeight(box) / std::max(box.itemHeight, 1), 1);
}

int LastTop(const ListBox &box) {
    return std::max(box.items.Count() - Rows(box), 0);
}

void Redraw(const ListBox &box) {
    InvalidateRect(box.window, nullptr, FALSE);
}

void Notify(ListBox &box, int code) {
    HWND parent = GetParent(box.window);
    if (parent != nullptr) {
        const int id = static_cast<int>(GetWindowLongPtrW(box.window, GWL_ID));
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(box.window));
    }
}

void NotifyUser(ListBox &box, int code) {
    if ((box.style & LBS_NOTIFY) != 0 && !box.destroyed) {
        Notify(box, code);
    }
}

// The window's scroll bar follows the rows, when the box was made with one.
void UpdateScroll(ListBox &box) {
    if ((box.style & WS_VSCROLL) == 0) {
        return;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE |
                 ((box.style & LBS_DISABLENOSCROLL) != 0 ? SIF_DISABLENOSCROLL : 0);
    info.nMin = 0;
    info.nMax = box.items.Count() - 1;
    info.nPage = static_cast<UINT>(Rows(box));
    info.nPos = box.top;
    SetScrollInfo(box.window, SB_VERT, &info, TRUE);
}

void SetTop(ListBox &box, int top) {
    top = std::clamp(top, 0, LastTop(box));
    if (top == box.top) {
        return;
    }
    box.top = top;
    Redraw(box);
    UpdateScroll(box);
}

void Reveal(ListBox &box, int index) {
    if (index < box.top) {
        SetTop(box, index);
    } else if (index >= box.top + Rows(box)) {
        SetTop(box, index - Rows(box) + 1);
    }
}

// A row is as high as the font's cell.
void Measure(ListBox &box) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOf(box));
    TEXTMETRICW metrics = {};
    const bool measured = GetTextMetricsW(dc, &metrics) && metrics.tmHeight > 0;
    SelectObject(dc, old);
    DeleteDC(dc);
    box.itemHeight = measured ? static_cast<int>(metrics.tmHeight) : 13;
}

// Unless told otherwise, the box shows whole rows only: the window loses what is left over.
void FitSize(ListBox &box) {
    const int height = ClientHeight(box);
    const int remaining = height % std::max(box.itemHeight, 1);
    if ((box.style & LBS_NOINTEGRALHEIGHT) == 0 && height > box.itemHeight && remaining != 0 &&
        !box.resizing) {
        RECT rect = {};
        GetWindowRect(box.window, &rect);
        box.resizing = true;
        SetWindowPos(box.window, nullptr, 0, 0, rect.right - rect.left,
                     rect.bottom - rect.top - remaining,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        box.resizing = false;
    }
    SetTop(box, box.top);
    UpdateScroll(box);
    Redraw(box);
}

// Selection of a single-selection box.
bool SelectOne(ListBox &box, int index) {
    if (index < -1 || index >= box.items.Count()) {
        return false;
    }
    if (index != box.selection) {
        box.items.Select(box.selection, false);
        box.items.Select(index, true);
        box.selection = index;
        Redraw(box);
    }
    return true;
}

void SelectRange(ListBox &box, int first, int last, bool selected) {
    first = std::max(first, 0);
    last = std::min(last, box.items.Count() - 1);
    for (int index = first; index <= last; ++index) {
        if (box.items.Select(index, selected)) {
            Redraw(box);
        }
    }
}

void SetCaret(ListBox &box, int index) {
    if (!box.items.Valid(index)) {
        return;
    }
    if (index != box.caret) {
        box.caret = index;
        Redraw(box);
    }
    Reveal(box, index);
}

// The caret goes to the item and the selection with it: the item alone in a single-selection
// box, the anchor's range in an extended one; a multiple-selection box keeps its selection.
void MoveCaret(ListBox &box, int index) {
    if (!box.items.Valid(index)) {
        return;
    }
    if (box.Extended()) {
        const int anchor = box.items.Valid(box.anchor) ? box.anchor : index;
        const int first = std::min(anchor, index);
        const int last = std::max(anchor, index);
        SelectRange(box, 0, first - 1, false);
        SelectRange(box, last + 1, box.items.Count() - 1, false);
        SelectRange(box, first, last, true);
    } else if (!box.Multiple()) {
        SelectOne(box, index);
    }
    SetCaret(box, index);
}

int ItemAt(const ListBox &box, POINT point) {
    RECT client = {};
    GetClientRect(box.window, &client);
    if (!PtInRect(&client, point)) {
        return -1;
    }
    const int index = box.top + point.y / std::max(box.itemHeight, 1);
    return box.items.Valid(index) ? index : -1;
}

HWND TopLevelOf(HWND window) {
    while ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0 && GetParent(window) != nullptr) {
        window = GetParent(window);
    }
    return window;
}

// A tap gives the box the focus only when its window is already active, so that a box in a
// window that never takes activation (a keyboard's panel) leaves the focus where it is.
void TakeFocus(ListBox &box) {
    if (GetFocus() != box.window && GetActiveWindow() == TopLevelOf(box.window)) {
        SetFocus(box.window);
    }
}

// Second tap on the same item soon enough: the box tells its parent, and the tap selects nothing
// more, as Windows' double click does.
bool DoubleTap(ListBox &box, int item) {
    const DWORD now = GetTickCount();
    const bool twice =
        item != -1 && item == box.lastTapItem && now - box.lastTapTime <= GetDoubleClickTime();
    box.lastTapItem = twice ? -1 : item;
    box.lastTapTime = now;
    if (twice) {
        NotifyUser(box, LBN_DBLCLK);
    }
    return twice;
}

void StylusDown(ListBox &box, POINT point) {
    TakeFocus(box);
    if (box.destroyed) {
        return;
    }
    const int item = ItemAt(box, point);
    if (DoubleTap(box, item) || item == -1 || box.destroyed) {
        return;
    }
    box.captured = true;
    SetCapture(box.window);
    if (!box.Multiple()) {
        box.anchor = item;
        MoveCaret(box, item);
        return;
    }
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (!shift || !box.items.Valid(box.anchor)) {
        box.anchor = item;
    }
    if (control || !box.Extended()) {
        SetCaret(box, item);
        box.items.Select(item, !box.items.Selected(item));
        Redraw(box);
    } else {
        MoveCaret(box, item);
    }
}

// Dragged over the rows, a single or extended selection follows the stylus.
void StylusMove(ListBox &box, POINT point) {
    if (!box.captured) {
        return;
    }
    const int item = ItemAt(box, point);
    if (item != -1 && item != box.caret && (!box.Multiple() || box.Extended())) {
        MoveCaret(box, item);
    }
}

// The end of a tap: the parent hears of it, even when nothing changed, as on Windows.
void StylusUp(ListBox &box) {
    if (!box.captured) {
        return;
    }
    box.captured = false;
    if (GetCapture() == box.window) {
        ReleaseCapture();
    }
    if (box.items.Count() > 0) {
        NotifyUser(box, LBN_SELCHANGE);
    }
}

void KeyDown(ListBox &box, WPARAM key) {
    const int count = box.items.Count();
    if (count == 0) {
        return;
    }
    if (key == VK_SPACE && box.Multiple() && !box.Extended() && box.items.Valid(box.caret)) {
        box.items.Select(box.caret, !box.items.Selected(box.caret));
        Redraw(box);
        NotifyUser(box, LBN_SELCHANGE);
        return;
    }
    if (key != VK_UP && key != VK_DOWN) {
        return;
    }
    const int from = box.caret < 0 ? 0 : box.caret;
    const int to = std::clamp(from + (key == VK_DOWN ? 1 : -1), 0, count - 1);
    if (box.Extended() && GetKeyState(VK_SHIFT) >= 0) {
        box.anchor = to;
    }
    MoveCaret(box, to);
    NotifyUser(box, LBN_SELCHANGE);
}

void DrawFocusRectangle(HDC dc, const RECT &rect, COLORREF color) {
    for (int x = rect.left; x < rect.right; x += 2) {
        SetPixel(dc, x, rect.top, color);
        SetPixel(dc, x, rect.bottom - 1, color);
    }
    for (int y = rect.top; y < rect.bottom; y += 2) {
        SetPixel(dc, rect.left, y, color);
        SetPixel(dc, rect.right - 1, y, color);
    }
}

void Paint(ListBox &box) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(box.window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client = {};
    GetClientRect(box.window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldFont = SelectObject(dc, FontOf(box));
    SetBkMode(dc, TRANSPARENT);
    const bool enabled = IsWindowEnabled(box.window) != FALSE;
    for (int index = box.top; index < box.items.Count(); ++index) {
        const int y = (index - box.top) * box.itemHeight;
        if (y >= client.bottom) {
            break;
        }
        const RECT row = {0, y, client.right, y + box.itemHeight};
        const bool selected = box.items.Selected(index);
        if (selected) {
            FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        const COLORREF ink = GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                         : selected ? COLOR_HIGHLIGHTTEXT
                                                    : COLOR_WINDOWTEXT);
        SetTextColor(dc, ink);
        const std::u16string &text = *box.items.Text(index);
        RECT textRect = row;
        textRect.left += 2;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (box.focused && index == box.caret) {
            DrawFocusRectangle(dc, row, ink);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(box.window, &paint);
}

LRESULT Create(HWND window) {
    std::shared_ptr<ListBox> box;
    try {
        box = std::make_shared<ListBox>();
    } catch (const std::bad_alloc &) {
        return -1;
    }
    box->window = window;
    box->style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    box->items = ListItems((box->style & LBS_SORT) != 0);
    AttachState(window, box);
    Measure(*box);
    return 0;
}

// After items went in before them, the selection, caret and anchor stay on their items.
void ItemInserted(ListBox &box, int index) {
    for (int *place : {&box.selection, &box.caret, &box.anchor}) {
        if (*place >= index && *place != -1) {
            ++*place;
        }
    }
    if (box.items.Count() == 1) {
        box.caret = 0;
    }
    UpdateScroll(box);
    Redraw(box);
}

void ItemDeleted(ListBox &box, int index) {
    const int count = box.items.Count();
    if (box.selection == index) {
        box.selection = -1;
    } else if (box.selection > index) {
        --box.selection;
    }
    for (int *place : {&box.caret, &box.anchor}) {
        if (*place > index || *place >= count) {
            --*place;
        }
    }
    box.caret = std::max(box.caret, count > 0 ? 0 : -1);
    SetTop(box, box.top);
    UpdateScroll(box);
    Redraw(box);
}

LRESULT AddOrInsert(ListBox &box, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto text = reinterpret_cast<LPCWSTR>(lParam);
    const int index = message == LB_ADDSTRING ? box.items.Add(text)
                                              : box.items.Insert(static_cast<int>(wParam), text);
    if (index == LB_ERRSPACE) {
        Notify(box, LBN_ERRSPACE);
    }
    if (index >= 0) {
        ItemInserted(box, index);
    }
    return index;
}

LRESULT SelectionMessage(ListBox &box, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    const int count = box.items.Count();
    switch (message) {
    case LB_SETCURSEL:
        if (box.Multiple() || !SelectOne(box, index)) {
            return LB_ERR;
        }
        SetCaret(box, index);
        return index == -1 ? LB_ERR : index;
    case LB_GETCURSEL:
        if (count == 0) {
            return LB_ERR;
        }
        return box.Multiple() ? box.caret : box.selection;
    case LB_GETSEL:
        return box.items.Valid(index) ? (box.items.Selected(index) ? 1 : 0) : LB_ERR;
    case LB_SETSEL: {
        // wParam is whether to select, lParam the item, -1 for all of them.
        const int item = static_cast<int>(lParam);
        if (!box.Multiple() || item < -1 || item >= count) {
            return LB_ERR;
        }
        SelectRange(box, item == -1 ? 0 : item, item == -1 ? count - 1 : item, wParam != 0);
        if (wParam != 0 && item != -1) {
            box.anchor = item;
            SetCaret(box, item);
        }
        return LB_OKAY;
    }
    case LB_SELITEMRANGE: {
        if (!box.Multiple()) {
            return LB_ERR;
        }
        const int first = LOWORD(lParam);
        const int last = HIWORD(lParam);
        SelectRange(box, std::min(first, last), std::max(first, last), wParam != 0);
        return LB_OKAY;
    }
    case LB_GETSELCOUNT:
        return box.Multiple() ? box.items.SelectedCount() : LB_ERR;
    case LB_GETSELITEMS: {
        auto *indices = reinterpret_cast<int *>(lParam);
        if (!box.Multiple() || indices == nullptr) {
            return LB_ERR;
        }
        int written = 0;
        for (int item = 0; item < count && static_cast<WPARAM>(written) < wParam; ++item) {
            if (box.items.Selected(item)) {
                indices[written++] = item;
            }
        }
        return written;
    }
    }
    return LB_ERR;
}

LRESULT ListMessage(ListBox &box, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        return AddOrInsert(box, message, wParam, lParam);
    case LB_DELETESTRING:
        if (!box.items.Delete(index)) {
            return LB_ERR;
        }
        ItemDeleted(box, index);
        return box.items.Count();
    case LB_RESETCONTENT:
        box.items.Clear();
        box.top = 0;
        box.selection = -1;
        box.caret = 0;
        box.anchor = -1;
        UpdateScroll(box);
        Redraw(box);
        return LB_OKAY;
    case LB_GETCOUNT:
        return box.items.Count();
    case LB_GETTEXT: {
        const std::u16string *text = box.items.Text(index);
        if (text == nullptr) {
            return LB_ERR;
        }
        // As on Windows the buffer must hold the whole text.
        if (lParam != 0) {
            std::copy(text->c_str(), text->c_str() + text->size() + 1,
                      reinterpret_cast<LPWSTR>(lParam));
        }
        return static_cast<LRESULT>(text->size());
    }
    case LB_GETTEXTLEN: {
        const std::u16string *text = box.items.Text(index);
        return text != nullptr ? static_cast<LRESULT>(text->size()) : LB_ERR;
    }
    case LB_SETITEMDATA:
        return box.items.SetData(index, lParam) ? TRUE : LB_ERR;
    case LB_GETITEMDATA: {
        LPARAM data = 0;
        return box.items.Data(index, data) ? data : LB_ERR;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return box.items.Find(index, reinterpret_cast<LPCWSTR>(lParam),
                              message == LB_FINDSTRINGEXACT);
    case LB_SETTOPINDEX:
        if (index < 0 || (index >= box.items.Count() && index > 0)) {
            return LB_ERR;
        }
        SetTop(box, index);
        return LB_OKAY;
    case LB_GETTOPINDEX:
        return box.top;
    case LB_GETITEMRECT: {
        auto *rect = reinterpret_cast<RECT *>(lParam);
        if (rect == nullptr || !box.items.Valid(index)) {
            return LB_ERR;
        }
        RECT client = {};
        GetClientRect(box.window, &client);
        const int y = (index - box.top) * box.itemHeight;
        *rect = RECT{0, y, client.right, y + box.itemHeight};
        return y < client.bottom && y + box.itemHeight > 0 ? 1 : 0;
    }
    }
    return SelectionMessage(box, message, wParam, lParam);
}

void Scroll(ListBox &box, WORD code) {
    switch (code) {
    case SB_LINEUP:
        SetTop(box, box.top - 1);
        break;
    case SB_LINEDOWN:
        SetTop(box, box.top + 1);
        break;
    case SB_PAGEUP:
        SetTop(box, box.top - Rows(box));
        break;
    case SB_PAGEDOWN:
        SetTop(box, box.top + Rows(box));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if (GetScrollInfo(box.window, SB_VERT, &info)) {
            SetTop(box, info.nTrackPos);
        }
        break;
    }
    case SB_TOP:
        SetTop(box, 0);
        break;
    case SB_BOTTOM:
        SetTop(box, box.items.Count());
        break;
    }
}

LRESULT Handle(ListBox &box, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = box.window;
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_DESTROY:
        box.destroyed = true;
        DetachState(window);
        if (GetCapture() == window) {
            ReleaseCapture();
        }
        return 0;
    case WM_PAINT:
        Paint(box);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painting covers every pixel
    case WM_SIZE:
        FitSize(box);
        return 0;
    case WM_SETFONT:
        box.font = reinterpret_cast<HFONT>(wParam);
        Measure(box);
        FitSize(box);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(box.font);
    case WM_ENABLE:
        Redraw(box);
        return 0;
    case WM_VSCROLL:
        Scroll(box, LOWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        StylusDown(box, point);
        return 0;
    case WM_MOUSEMOVE:
        StylusMove(box, point);
        return 0;
    case WM_LBUTTONUP:
        StylusUp(box);
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the stylus: the tap ends without a word.
        box.captured = false;
        return 0;
    case WM_SETFOCUS:
        box.focused = true;
        Redraw(box);
        Notify(box, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        StylusUp(box);
        if (box.destroyed) {
            return 0;
        }
        box.focused = false;
        Redraw(box);
        Notify(box, LBN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        KeyDown(box, wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    }
    if (message >= LB_ADDSTRING && message <= LB_FINDSTRINGEXACT) {
        return ListMessage(box, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return Create(window);
    }
    const std::shared_ptr<ListBox> box = AttachedState<ListBox>(window);
    if (box == nullptr || box->destroyed) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return Handle(*box, message, wParam, lParam);
}

} // namespace

void RegisterListBoxClass() {
    WNDCLASSW description = {};
    description.lpfnWndProc = ListBoxProc;
    description.lpszClassName = listBoxClass;
    RegisterSystemClass(description);
}
