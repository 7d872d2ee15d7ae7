// The combo box ("COMBOBOX") as a drop-down list: a box showing the selected item, with an arrow
// button at its right, that drops a list of the items below itself (above when the screen has no
// room below). The window is made with the height of box and list together, as on Windows, and
// then keeps only the box's height. While the list is open the box holds the stylus capture: a
// tap on an item picks it, a tap anywhere else closes the list without a pick, and the stylus
// dragged over the list moves the highlight.
#include "controls/combo_box.h"
#include "controls/combo_list.h"
#include "controls/control_classes.h"
#include "user/attached_state.h"

#include <algorithm>
#include <new>

namespace {

const char16_t comboClass[] = u"COMBOBOX";

HFONT FontOf(const ComboBox &combo) {
    return combo.font != nullptr ? combo.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// A list row is as high as the font's cell; the box has room round it for its frame.
void Measure(ComboBox &combo) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOf(combo));
    TEXTMETRICW metrics = {};
    const bool measured = GetTextMetricsW(dc, &metrics) && metrics.tmHeight > 0;
    SelectObject(dc, old);
    DeleteDC(dc);
    combo.itemHeight = measured ? static_cast<int>(metrics.tmHeight) : 13;
    combo.boxHeight = combo.itemHeight + 6;
}

// The window keeps the box's height.
void FitBox(ComboBox &combo) {
    RECT rect;
    if (!GetWindowRect(combo.window, &rect) || rect.bottom - rect.top == combo.boxHeight) {
        return;
    }
    combo.resizing = true;
    SetWindowPos(combo.window, nullptr, 0, 0, rect.right - rect.left, combo.boxHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    combo.resizing = false;
}

// Tells the parent; false when the box went meanwhile.
bool Notify(ComboBox &combo, int code) {
    HWND parent = GetParent(combo.window);
    if (parent != nullptr) {
        const int id = static_cast<int>(GetWindowLongPtrW(combo.window, GWL_ID));
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(combo.window));
    }
    return !combo.destroyed;
}

// The window's text is the selected item's, so that other programs reading it see that; the box
// is drawn again when it changes.
void ShowSelection(ComboBox &combo) {
    Window *window = FindWindowObject(combo.window);
    if (window == nullptr) {
        return;
    }
    const std::u16string *text = combo.items.Text(combo.items.Selection());
    const std::u16string shown = text != nullptr ? *text : std::u16string();
    if (window->text != shown) {
        window->text = shown;
        InvalidateRect(combo.window, nullptr, FALSE);
    }
}

// As many rows as the height the box was made with leaves room for, and never more than the
// screen holds.
int ListRows(const ComboBox &combo) {
    const int itemHeight = std::max(combo.itemHeight, 1);
    const int height = std::min(combo.droppedHeight - combo.boxHeight,
                                static_cast<int>(GetSystemMetrics(SM_CYSCREEN)));
    return std::clamp(combo.items.Count(), 1, std::max((height - 2) / itemHeight, 1));
}

// Below the box, or above it when the list would reach past the screen's bottom and fits above.
RECT ListPlace(const ComboBox &combo, const ComboListLayout &layout) {
    RECT box = {};
    GetWindowRect(combo.window, &box);
    RECT place = {box.left, box.bottom, box.right, box.bottom + layout.height};
    if (place.bottom > GetSystemMetrics(SM_CYSCREEN) && box.top - layout.height >= 0) {
        place = {box.left, box.top - layout.height, box.right, box.top};
    }
    return place;
}

void RedrawList(const ComboBox &combo) {
    if (combo.list != nullptr) {
        InvalidateRect(combo.list, nullptr, FALSE);
    }
}

// Scrolls as little as it takes to show the item.
void Reveal(ComboBox &combo, int index) {
    const ComboListLayout layout = ComboListLayoutOf(combo);
    if (index < 0) {
        combo.top = layout.top;
        return;
    }
    int top = layout.top;
    if (index < top) {
        top = index;
    } else if (index >= top + layout.rows) {
        top = index - layout.rows + 1;
    }
    combo.top = std::clamp(top, 0, LastComboListTop(layout));
}

void Highlight(ComboBox &combo, int index) {
    if (!combo.items.Valid(index) || index == combo.hot) {
        return;
    }
    combo.hot = index;
    Reveal(combo, index);
    RedrawList(combo);
}

void ScrollTo(ComboBox &combo, int top) {
    const ComboListLayout layout = ComboListLayoutOf(combo);
    top = std::clamp(top, 0, LastComboListTop(layout));
    if (top != combo.top) {
        combo.top = top;
        RedrawList(combo);
    }
}

// After the items changed: the open list takes its new size and shows what is there.
void RefreshList(ComboBox &combo) {
    if (combo.list == nullptr) {
        return;
    }
    if (!combo.items.Valid(combo.hot)) {
        combo.hot = -1;
    }
    const ComboListLayout layout = ComboListLayoutOf(combo);
    combo.top = layout.top;
    const RECT place = ListPlace(combo, layout);
    SetWindowPos(combo.list, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawList(combo);
}

void OpenList(ComboBox &combo) {
    if (combo.list != nullptr || !IsWindowEnabled(combo.window)) {
        return;
    }
    // The parent may fill the list now, before it shows.
    if (!Notify(combo, CBN_DROPDOWN) || combo.list != nullptr) {
        return;
    }
    combo.hot = combo.items.Selection();
    combo.top = 0;
    Reveal(combo, combo.hot);
    const RECT place = ListPlace(combo, ComboListLayoutOf(combo));
    combo.list = CreateComboList(combo.window, place);
    if (combo.list != nullptr) {
        SetCapture(combo.window);
    }
}

// Closes the list, telling the parent; false when the box went meanwhile. The capture stays
// while the stylus that closed the list is still down, so that its lift reaches no one else.
bool CloseList(ComboBox &combo) {
    HWND list = combo.list;
    if (list == nullptr) {
        return true;
    }
    combo.list = nullptr;
    combo.hot = -1;
    DestroyWindow(list);
    if (combo.track != ComboBox::Track::Closing && GetCapture() == combo.window) {
        ReleaseCapture();
    }
    return Notify(combo, CBN_CLOSEUP);
}

void Cancel(ComboBox &combo, bool stylusDown) {
    if (combo.list == nullptr || !Notify(combo, CBN_SELENDCANCEL)) {
        return;
    }
    combo.track = stylusDown ? ComboBox::Track::Closing : ComboBox::Track::None;
    CloseList(combo);
}

void Pick(ComboBox &combo, int index) {
    const bool changed = index != combo.items.Selection();
    combo.items.Select(index);
    ShowSelection(combo);
    if (!Notify(combo, CBN_SELENDOK) || (changed && !Notify(combo, CBN_SELCHANGE))) {
        return;
    }
    combo.track = ComboBox::Track::None;
    CloseList(combo);
}

// A selection made from the keyboard while the list is closed.
void SelectAndTell(ComboBox &combo, int index) {
    if (!combo.items.Valid(index) || index == combo.items.Selection()) {
        return;
    }
    combo.items.Select(index);
    ShowSelection(combo);
    Notify(combo, CBN_SELCHANGE);
}

// A selection made by a program: no notification.
LRESULT SetSelection(ComboBox &combo, int index) {
    const bool selected = combo.items.Select(index);
    ShowSelection(combo);
    if (combo.list != nullptr) {
        combo.hot = combo.items.Selection();
        Reveal(combo, combo.hot);
        RedrawList(combo);
    }
    return selected ? combo.items.Selection() : CB_ERR;
}

HWND TopLevelOf(HWND window) {
    while ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0 && GetParent(window) != nullptr) {
        window = GetParent(window);
    }
    return window;
}

// A tap gives the box the focus only when its window is already active: a box in a window that
// never takes activation (a keyboard's panel) leaves the focus where it is.
void TakeFocus(ComboBox &combo) {
    if (GetFocus() != combo.window && GetActiveWindow() == TopLevelOf(combo.window)) {
        SetFocus(combo.window);
    }
}

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// A point of the box's client area in the list's.
POINT InList(const ComboBox &combo, POINT point) {
    ClientToScreen(combo.window, &point);
    RECT list = {};
    GetWindowRect(combo.list, &list);
    return POINT{point.x - list.left, point.y - list.top};
}

void StylusDown(ComboBox &combo, POINT point) {
    if (combo.list == nullptr) {
        if (combo.track == ComboBox::Track::Closing && GetCapture() == combo.window) {
            ReleaseCapture(); // the lift that closed the list never came
        }
        combo.track = ComboBox::Track::None;
        RECT client;
        GetClientRect(combo.window, &client);
        if (!PtInRect(&client, point)) {
            return;
        }
        TakeFocus(combo);
        if (combo.destroyed) {
            return;
        }
        combo.track = ComboBox::Track::Opening;
        OpenList(combo);
        if (combo.list == nullptr && !combo.destroyed) {
            combo.track = ComboBox::Track::None;
        }
        return;
    }
    const ComboListLayout layout = ComboListLayoutOf(combo);
    const POINT at = InList(combo, point);
    const RECT whole = {0, 0, layout.width, layout.height};
    if (!PtInRect(&whole, at) || !IsWindowVisible(combo.window)) {
        // Anywhere else, the box itself too, closes the list without a pick.
        Cancel(combo, true);
        return;
    }
    combo.track = ComboBox::Track::None;
    int item = -1;
    switch (HitComboList(layout, at, item)) {
    case ComboListHit::Item:
        combo.track = ComboBox::Track::Items;
        Highlight(combo, item);
        break;
    case ComboListHit::UpArrow:
        ScrollTo(combo, combo.top - 1);
        break;
    case ComboListHit::DownArrow:
        ScrollTo(combo, combo.top + 1);
        break;
    case ComboListHit::PageUp:
        ScrollTo(combo, combo.top - layout.rows);
        break;
    case ComboListHit::PageDown:
        ScrollTo(combo, combo.top + layout.rows);
        break;
    case ComboListHit::Thumb:
        combo.track = ComboBox::Track::Thumb;
        combo.thumbGrab = at.y - layout.thumb.top;
        break;
    case ComboListHit::None:
        break;
    }
}

void StylusMove(ComboBox &combo, POINT point) {
    if (combo.list == nullptr) {
        return;
    }
    const ComboListLayout layout = ComboListLayoutOf(combo);
    const POINT at = InList(combo, point);
    if (combo.track == ComboBox::Track::Thumb) {
        ScrollTo(combo, ComboListTopForThumb(layout, at.y - combo.thumbGrab));
        return;
    }
    if (combo.track != ComboBox::Track::Opening && combo.track != ComboBox::Track::Items) {
        return;
    }
    int item = -1;
    if (HitComboList(layout, at, item) == ComboListHit::Item) {
        combo.track = ComboBox::Track::Items;
        Highlight(combo, item);
        return;
    }
    // Dragged past the rows' top or bottom: the list scrolls towards the stylus a row at a time.
    const bool besideRows = at.x >= layout.items.left && at.x < layout.items.right;
    if (combo.track != ComboBox::Track::Items || !besideRows) {
        return;
    }
    if (at.y < layout.items.top && combo.top > 0) {
        ScrollTo(combo, combo.top - 1);
        Highlight(combo, combo.top);
    } else if (at.y >= layout.items.bottom && combo.top < LastComboListTop(layout)) {
        ScrollTo(combo, combo.top + 1);
        Highlight(combo, std::min(combo.top + layout.rows, layout.count) - 1);
    }
}

void StylusUp(ComboBox &combo, POINT point) {
    const ComboBox::Track track = combo.track;
    combo.track = ComboBox::Track::None;
    if (track == ComboBox::Track::Closing) {
        if (GetCapture() == combo.window) {
            ReleaseCapture();
        }
        return;
    }
    if (combo.list == nullptr ||
        (track != ComboBox::Track::Opening && track != ComboBox::Track::Items)) {
        return;
    }
    // Lifted on an item, the stylus picks it; anywhere else the list stays open.
    int item = -1;
    if (HitComboList(ComboListLayoutOf(combo), InList(combo, point), item) == ComboListHit::Item) {
        Pick(combo, item);
    }
}

void KeyDown(ComboBox &combo, WPARAM key) {
    const int step = key == VK_DOWN ? 1 : key == VK_UP ? -1 : 0;
    const int count = combo.items.Count();
    if (step != 0 && count > 0) {
        const int from = combo.list != nullptr ? combo.hot : combo.items.Selection();
        const int to = from < 0 ? 0 : std::clamp(from + step, 0, count - 1);
        if (combo.list != nullptr) {
            Highlight(combo, to);
        } else {
            SelectAndTell(combo, to);
        }
        return;
    }
    if (combo.list == nullptr) {
        return;
    }
    if (key == VK_RETURN && combo.items.Valid(combo.hot)) {
        Pick(combo, combo.hot);
    } else if (key == VK_RETURN || key == VK_ESCAPE) {
        Cancel(combo, false);
    }
}

// A typed character goes to the next item that begins with it.
void Character(ComboBox &combo, WPARAM character) {
    if (character < 0x20 || character > 0xFFFF) {
        return;
    }
    const WCHAR prefix[2] = {static_cast<WCHAR>(character), 0};
    const int from = combo.list != nullptr ? combo.hot : combo.items.Selection();
    const int found = combo.items.Find(from, prefix, false);
    if (found == CB_ERR) {
        return;
    }
    if (combo.list != nullptr) {
        Highlight(combo, found);
    } else {
        SelectAndTell(combo, found);
    }
}

void Paint(ComboBox &combo) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(combo.window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(combo.window, &client);
    const bool enabled = IsWindowEnabled(combo.window) != FALSE;
    const RECT button = {std::max<LONG>(client.right - comboScrollBarWidth - 2, 0), 0, client.right,
                         client.bottom};
    const RECT field = {1, 1, button.left, client.bottom - 1};
    if (field.right > field.left && field.bottom > field.top) {
        FillRect(dc, &field, GetSysColorBrush(COLOR_WINDOW));
    }
    // With the focus, the selection shows highlighted, as a focused drop-down list does.
    const bool focused = enabled && GetFocus() == combo.window;
    RECT highlight = field;
    InflateRect(&highlight, -1, -1);
    if (focused && highlight.right > highlight.left && highlight.bottom > highlight.top) {
        FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (const std::u16string *text = combo.items.Text(combo.items.Selection())) {
        HGDIOBJ oldFont = SelectObject(dc, FontOf(combo));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(focused   ? COLOR_HIGHLIGHTTEXT
                                     : enabled ? COLOR_WINDOWTEXT
                                               : COLOR_GRAYTEXT));
        RECT textRect = field;
        textRect.left += 2;
        DrawTextW(dc, text->c_str(), static_cast<int>(text->size()), &textRect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
    DrawComboArrowButton(dc, button, false, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT edges[] = {
        {0, 0, client.right, 1},
        {0, client.bottom - 1, client.right, client.bottom},
        {0, 0, 1, client.bottom},
    };
    for (const RECT &edge : edges) {
        FillRect(dc, &edge, black);
    }
    EndPaint(combo.window, &paint);
}

LRESULT Create(HWND window, LPARAM lParam) {
    const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
    std::shared_ptr<ComboBox> combo;
    try {
        combo = std::make_shared<ComboBox>();
        combo->items = ComboItems((GetWindowLongW(window, GWL_STYLE) & CBS_SORT) != 0);
    } catch (const std::bad_alloc &) {
        return -1;
    }
    AttachState(window, combo);
    combo->window = window;
    // WS_VSCROLL is for the list, which draws its own bar; the box itself has none.
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & WS_VSCROLL) != 0) {
        SetWindowLongW(window, GWL_STYLE, style & ~WS_VSCROLL);
    }
    combo->droppedHeight = creation != nullptr ? creation->cy : 0;
    Measure(*combo);
    FitBox(*combo);
    ShowSelection(*combo); // a drop-down list shows no text of its own
    return 0;
}

void Destroy(ComboBox &combo) {
    combo.destroyed = true;
    DetachState(combo.window);
    HWND list = combo.list;
    combo.list = nullptr;
    if (list != nullptr) {
        DestroyWindow(list);
    }
    if (GetCapture() == combo.window) {
        ReleaseCapture();
    }
}

LRESULT StringMessage(ComboBox &combo, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    const auto text = reinterpret_cast<LPCWSTR>(lParam);
    LRESULT result = CB_ERR;
    switch (message) {
    case CB_ADDSTRING:
        result = combo.items.Add(text);
        break;
    case CB_INSERTSTRING:
        result = combo.items.Insert(index, text);
        break;
    case CB_DELETESTRING:
        result = combo.items.Delete(index);
        break;
    case CB_RESETCONTENT:
        combo.items.Clear();
        result = CB_OKAY;
        break;
    }
    ShowSelection(combo);
    RefreshList(combo);
    return result;
}

LRESULT ComboMessage(ComboBox &combo, UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
    case CB_GETCOUNT:
        return combo.items.Count();
    case CB_GETCURSEL:
        return combo.items.Selection();
    case CB_SETCURSEL:
        return SetSelection(combo, index);
    case CB_GETLBTEXT: {
        const std::u16string *text = combo.items.Text(index);
        if (text == nullptr || lParam == 0) {
            return CB_ERR;
        }
        // As on Windows the buffer must hold the whole text.
        std::copy(text->c_str(), text->c_str() + text->size() + 1,
                  reinterpret_cast<LPWSTR>(lParam));
        return static_cast<LRESULT>(text->size());
    }
    case CB_GETLBTEXTLEN: {
        const std::u16string *text = combo.items.Text(index);
        return text != nullptr ? static_cast<LRESULT>(text->size()) : CB_ERR;
    }
    case CB_SETITEMDATA:
        return combo.items.SetData(index, lParam) ? TRUE : CB_ERR;
    case CB_GETITEMDATA: {
        LPARAM data = 0;
        return combo.items.Data(index, data) ? data : CB_ERR;
    }
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
        return combo.items.Find(index, reinterpret_cast<LPCWSTR>(lParam),
                                message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
        const int found = combo.items.Find(index, reinterpret_cast<LPCWSTR>(lParam), false);
        return found == CB_ERR ? CB_ERR : SetSelection(combo, found);
    }
    case CB_SHOWDROPDOWN:
        if (wParam != 0) {
            OpenList(combo);
        } else if (combo.list != nullptr) {
            combo.track = ComboBox::Track::None;
            CloseList(combo);
        }
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return combo.list != nullptr;
    case CB_GETDROPPEDCONTROLRECT: {
        RECT rect;
        if (lParam == 0 || !GetWindowRect(combo.window, &rect)) {
            return FALSE;
        }
        rect.bottom = rect.top + std::max(combo.droppedHeight, combo.boxHeight);
        *reinterpret_cast<RECT *>(lParam) = rect;
        return TRUE;
    }
    case CB_GETITEMHEIGHT:
        if (index < -1) {
            return CB_ERR;
        }
        return index == -1 ? combo.boxHeight - 2 : combo.itemHeight;
    case CB_SETITEMHEIGHT: {
        const int height = static_cast<int>(lParam);
        if (index < -1 || height <= 0 || height > 255) {
            return CB_ERR;
        }
        if (index == -1) {
            combo.boxHeight = height + 2;
            FitBox(combo);
            InvalidateRect(combo.window, nullptr, FALSE);
        } else {
            combo.itemHeight = height;
        }
        RefreshList(combo);
        return CB_OKAY;
    }
    }
    return StringMessage(combo, message, wParam, lParam);
}

LRESULT Handle(ComboBox &combo, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = combo.window;
    switch (message) {
    case WM_DESTROY:
        Destroy(combo);
        return 0;
    case WM_PAINT:
        Paint(combo);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painting covers every pixel
    case WM_SIZE:
        // A height asked for later is again the height of box and list together.
        if (!combo.resizing && HIWORD(lParam) != combo.boxHeight) {
            combo.droppedHeight = HIWORD(lParam);
            FitBox(combo);
        }
        return 0;
    case WM_SETFONT:
        combo.font = reinterpret_cast<HFONT>(wParam);
        Measure(combo);
        FitBox(combo);
        RefreshList(combo);
        if (LOWORD(lParam) != 0) {
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(combo.font);
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        const std::u16string *text = combo.items.Text(combo.items.Selection());
        auto buffer = reinterpret_cast<LPWSTR>(lParam);
        lstrcpynW(buffer, text != nullptr ? text->c_str() : u"", static_cast<int>(wParam));
        return lstrlenW(buffer);
    }
    case WM_GETTEXTLENGTH: {
        const std::u16string *text = combo.items.Text(combo.items.Selection());
        return text != nullptr ? static_cast<LRESULT>(text->size()) : 0;
    }
    case WM_SETTEXT: {
        // A drop-down list shows only its items: the text selects the item it names.
        const int found = combo.items.Find(-1, reinterpret_cast<LPCWSTR>(lParam), true);
        return found == CB_ERR ? CB_ERR : (SetSelection(combo, found), TRUE);
    }
    case WM_ENABLE:
        if (wParam == 0) {
            Cancel(combo, false);
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        StylusDown(combo, PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) != 0) {
            StylusMove(combo, PointOf(lParam));
        }
        return 0;
    case WM_LBUTTONUP:
        StylusUp(combo, PointOf(lParam));
        return 0;
    case WM_SHOWWINDOW:
        if (wParam == 0) {
            Cancel(combo, false);
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the stylus: the list closes without a pick.
        if (combo.track == ComboBox::Track::Closing) {
            combo.track = ComboBox::Track::None;
        }
        Cancel(combo, false);
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(combo.window, nullptr, FALSE);
        Notify(combo, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(combo.window, nullptr, FALSE);
        Cancel(combo, false);
        if (!combo.destroyed) {
            Notify(combo, CBN_KILLFOCUS);
        }
        return 0;
    case WM_KEYDOWN:
        KeyDown(combo, wParam);
        return 0;
    case WM_CHAR:
        Character(combo, wParam);
        return 0;
    case WM_GETDLGCODE:
        // While the list is open, Enter and Escape are the list's.
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (combo.list != nullptr ? DLGC_WANTALLKEYS : 0);
    }
    if (message >= CB_GETEDITSEL && message <= CB_FINDSTRINGEXACT) {
        return ComboMessage(combo, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return Create(window, lParam);
    }
    const std::shared_ptr<ComboBox> combo = FindComboBox(window);
    if (combo == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return Handle(*combo, message, wParam, lParam);
}

} // namespace

std::shared_ptr<ComboBox> FindComboBox(HWND window) {
    const std::shared_ptr<ComboBox> combo = AttachedState<ComboBox>(window);
    return combo != nullptr && !combo->destroyed ? combo : nullptr;
}

void ComboListDestroyed(HWND combo, HWND list) {
    const std::shared_ptr<ComboBox> box = FindComboBox(combo);
    if (box == nullptr || box->list != list) {
        return;
    }
    box->list = nullptr;
    box->hot = -1;
    box->track = ComboBox::Track::None;
    if (GetCapture() == combo) {
        ReleaseCapture();
    }
}

ComboListLayout ComboListLayoutOf(const ComboBox &combo) {
    RECT client = {};
    GetClientRect(combo.window, &client);
    return LayOutComboList(client.right, ListRows(combo), combo.items.Count(), combo.itemHeight,
                           combo.top);
}

void RegisterComboBoxClass() {
    WNDCLASSW description = {};
    description.lpfnWndProc = ComboBoxProc;
    description.lpszClassName = comboClass;
    RegisterSystemClass(description);
    RegisterComboListClass();
}
