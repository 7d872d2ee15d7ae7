// The edit control's view. Lines start one pixel in from the client area's left; a multi-line
// control shows its lines from one pixel below the top, a single-line one centres its line in
// the height. Lines are clipped to the rectangle between the margins, and the line cut by its
// bottom shows as far as it fits, as on Windows.
#include "controls/edit_view.h"

#include "user/window_state.h"

#include <algorithm>

namespace {

constexpr int margin = 1;

// A memory DC with the control's font, for measuring.
class MeasuringDc {
  public:
    explicit MeasuringDc(const Edit &edit) : dc_(CreateCompatibleDC(nullptr)) {
        HFONT font =
            edit.font != nullptr ? edit.font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        old_ = SelectObject(dc_, font);
    }
    ~MeasuringDc() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MeasuringDc(const MeasuringDc &) = delete;
    MeasuringDc &operator=(const MeasuringDc &) = delete;
    operator HDC() const {
        return dc_;
    }

  private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

bool IsPassword(const Edit &edit) {
    return !IsMultiLineEdit(edit) && (EditStyleOf(edit) & ES_PASSWORD) != 0;
}

// What the lines show: the text, or a star for each of its characters in a password control.
const std::u16string &ShownText(const Edit &edit, std::u16string &stars) {
    const std::u16string &text = EditTextOf(edit);
    if (!IsPassword(edit)) {
        return text;
    }
    stars.assign(text.size(), u'*');
    return stars;
}

bool Wraps(const Edit &edit) {
    return IsMultiLineEdit(edit) && (EditStyleOf(edit) & ES_AUTOHSCROLL) == 0;
}

int LastFirstLine(const Edit &edit) {
    return std::max(static_cast<int>(edit.lines.size()) - VisibleEditLines(edit), 0);
}

// The scroll bar shows the lines, those shown and the first of them; as on Windows it stays,
// disabled, while every line shows.
void UpdateScrollBar(Edit &edit) {
    if (!edit.verticalBar || !IsMultiLineEdit(edit)) {
        return;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = std::max(static_cast<int>(edit.lines.size()) - 1, 0);
    info.nPage = static_cast<UINT>(VisibleEditLines(edit));
    info.nPos = edit.firstLine;
    SetScrollInfo(edit.window, SB_VERT, &info, FALSE);
}

} // namespace

std::u16string &EditTextOf(const Edit &edit) {
    static std::u16string gone;
    Window *window = FindWindowObject(edit.window);
    if (window == nullptr) {
        gone.clear();
        return gone;
    }
    return window->text;
}

DWORD EditStyleOf(const Edit &edit) {
    return static_cast<DWORD>(GetWindowLongW(edit.window, GWL_STYLE));
}

bool IsMultiLineEdit(const Edit &edit) {
    return (EditStyleOf(edit) & ES_MULTILINE) != 0;
}

RECT EditFormatRect(const Edit &edit) {
    RECT client = {};
    GetClientRect(edit.window, &client);
    RECT format = {client.left + margin, client.top, client.right - margin, client.bottom};
    if (IsMultiLineEdit(edit)) {
        format.top += margin;
    } else {
        format.top = std::max<LONG>((client.bottom - edit.lineHeight) / 2, 0);
        format.bottom = std::min<LONG>(format.top + edit.lineHeight, client.bottom);
    }
    format.right = std::max(format.right, format.left);
    format.bottom = std::max(format.bottom, format.top);
    return format;
}

int VisibleEditLines(const Edit &edit) {
    if (!IsMultiLineEdit(edit)) {
        return 1;
    }
    const RECT format = EditFormatRect(edit);
    return std::max(static_cast<int>(format.bottom - format.top) / std::max(edit.lineHeight, 1), 1);
}

namespace {

// The lines laid out: anew, or from the lines before a change when given one.
void LayOutLines(Edit &edit, const size_t *change) {
    MeasuringDc dc(edit);
    TEXTMETRICW metrics = {};
    if (GetTextMetricsW(dc, &metrics) && metrics.tmHeight > 0) {
        edit.lineHeight = metrics.tmHeight;
        edit.averageWidth = std::max<int>(metrics.tmAveCharWidth, 1);
    }
    const RECT format = EditFormatRect(edit);
    std::u16string stars;
    const std::u16string &text = ShownText(edit, stars);
    const int wrapWidth = Wraps(edit) ? std::max<int>(format.right - format.left, 1) : 0;
    edit.lines =
        change != nullptr && IsMultiLineEdit(edit)
            ? RelayOutEditLines(dc, text, wrapWidth, edit.lines, change[0], change[1], change[2])
            : LayOutEditLines(dc, text, IsMultiLineEdit(edit), wrapWidth);
    edit.firstLine = std::clamp(edit.firstLine, 0, LastFirstLine(edit));
    if (Wraps(edit)) {
        edit.scrollX = 0;
    }
    UpdateScrollBar(edit);
}

} // namespace

void LayOutEdit(Edit &edit) {
    LayOutLines(edit, nullptr);
}

void LayOutEditAfterChange(Edit &edit, size_t changeAt, size_t removed, size_t inserted) {
    const size_t change[3] = {changeAt, removed, inserted};
    LayOutLines(edit, change);
}

void ScrollEditToLine(Edit &edit, int line) {
    line = std::clamp(line, 0, LastFirstLine(edit));
    if (line != edit.firstLine) {
        edit.firstLine = line;
        InvalidateRect(edit.window, nullptr, FALSE);
    }
    UpdateScrollBar(edit);
}

void ScrollEditToCaret(Edit &edit) {
    const size_t caret = edit.selection.caret;
    const int line = static_cast<int>(LineOfPosition(edit.lines, caret));
    const int visible = VisibleEditLines(edit);
    if (IsMultiLineEdit(edit)) {
        if (line < edit.firstLine) {
            ScrollEditToLine(edit, line);
        } else if (line >= edit.firstLine + visible) {
            ScrollEditToLine(edit, line - visible + 1);
        }
    }
    if (Wraps(edit)) {
        return;
    }
    const RECT format = EditFormatRect(edit);
    const int width = format.right - format.left;
    const int x = EditCaretPoint(edit, caret).x - format.left + edit.scrollX;
    int scrollX = edit.scrollX;
    if (x < scrollX) {
        scrollX = std::max(x - width / 3, 0);
    } else if (x > scrollX + width) {
        scrollX = x - (width - width / 3);
    }
    if (scrollX != edit.scrollX) {
        edit.scrollX = scrollX;
        InvalidateRect(edit.window, nullptr, FALSE);
    }
}

size_t EditPositionAt(const Edit &edit, POINT point) {
    if (edit.lines.empty()) {
        return 0;
    }
    const RECT format = EditFormatRect(edit);
    const int height = std::max(edit.lineHeight, 1);
    const int below = point.y - static_cast<int>(format.top);
    const int row = below < 0 ? -1 - (-below - 1) / height : below / height;
    const size_t line = static_cast<size_t>(
        std::clamp(edit.firstLine + row, 0, static_cast<int>(edit.lines.size()) - 1));
    return EditPositionInLine(edit, line, point.x);
}

size_t EditPositionInLine(const Edit &edit, size_t line, int clientX) {
    if (line >= edit.lines.size()) {
        return EditTextOf(edit).size();
    }
    const EditLine &shown = edit.lines[line];
    const int x = clientX - static_cast<int>(EditFormatRect(edit).left) + edit.scrollX;
    if (x <= 0 || shown.length == 0) {
        return shown.start;
    }
    std::u16string stars;
    const std::u16string &text = ShownText(edit, stars);
    MeasuringDc dc(edit);
    std::vector<INT> ends(shown.length);
    INT fit = 0;
    SIZE size = {};
    GetTextExtentExPointW(dc, text.c_str() + shown.start, static_cast<int>(shown.length), 0, &fit,
                          ends.data(), &size);
    // The boundary nearest the point: past a character's middle is after it.
    int left = 0;
    for (size_t i = 0; i < shown.length; ++i) {
        if (x < (left + ends[i] + 1) / 2) {
            return shown.start + i;
        }
        left = ends[i];
    }
    return shown.start + shown.length;
}

POINT EditCaretPoint(const Edit &edit, size_t position) {
    const RECT format = EditFormatRect(edit);
    if (edit.lines.empty()) {
        return POINT{format.left, format.top};
    }
    const size_t line = LineOfPosition(edit.lines, position);
    const EditLine &shown = edit.lines[line];
    const size_t count = std::min(position, shown.start + shown.length) - shown.start;
    std::u16string stars;
    MeasuringDc dc(edit);
    const int x = TextWidth(dc, ShownText(edit, stars), shown.start, count);
    return POINT{format.left + x - edit.scrollX,
                 format.top + (static_cast<int>(line) - edit.firstLine) * edit.lineHeight};
}

namespace {

// Read-only and disabled controls ask their parent as statics do and show on the face colour;
// editable ones ask as edits and show on the window colour.
HBRUSH Background(const Edit &edit, HDC dc) {
    const bool enabled = IsWindowEnabled(edit.window) != FALSE;
    const bool grey = !enabled || (EditStyleOf(edit) & ES_READONLY) != 0;
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
    HBRUSH brush = nullptr;
    if (HWND parent = GetParent(edit.window)) {
        brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                         reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit.window)));
    }
    return brush != nullptr ? brush : GetSysColorBrush(grey ? COLOR_BTNFACE : COLOR_WINDOW);
}

void DrawPiece(HDC dc, const std::u16string &text, size_t from, size_t to, int x, int y,
               const RECT &clip) {
    if (to > from) {
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, text.c_str() + from, static_cast<UINT>(to - from),
                    nullptr);
    }
}

} // namespace

void PaintEdit(Edit &edit) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(edit.window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(edit.window, &client);
    FillRect(dc, &client, Background(edit, dc));
    const COLORREF textColor = GetTextColor(dc);
    HGDIOBJ oldFont =
        SelectObject(dc, edit.font != nullptr ? edit.font : GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);

    const RECT format = EditFormatRect(edit);
    std::u16string stars;
    const std::u16string &text = ShownText(edit, stars);
    const bool showSelection =
        !edit.selection.Empty() && (edit.focused || (EditStyleOf(edit) & ES_NOHIDESEL) != 0);
    const size_t low = edit.selection.Low();
    const size_t high = edit.selection.High();
    const int last =
        std::min(edit.firstLine + VisibleEditLines(edit), static_cast<int>(edit.lines.size()) - 1);
    for (int i = edit.firstLine; i <= last; ++i) {
        const EditLine &line = edit.lines[static_cast<size_t>(i)];
        const int y = format.top + (i - edit.firstLine) * edit.lineHeight;
        const RECT clip = {format.left, y, format.right,
                           std::min<LONG>(y + edit.lineHeight, format.bottom)};
        if (clip.bottom <= clip.top) {
            break;
        }
        const int x = format.left - edit.scrollX;
        const size_t end = line.start + line.length;
        const size_t from = std::clamp(low, line.start, end);
        const size_t to = std::clamp(high, line.start, end);
        if (!showSelection || from == to) {
            DrawPiece(dc, text, line.start, end, x, y, clip);
            continue;
        }
        const int selectedLeft = x + TextWidth(dc, text, line.start, from - line.start);
        const int selectedRight = selectedLeft + TextWidth(dc, text, from, to - from);
        RECT selected = {std::max<LONG>(selectedLeft, clip.left), clip.top,
                         std::min<LONG>(selectedRight, clip.right), clip.bottom};
        if (selected.right > selected.left) {
            FillRect(dc, &selected, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        DrawPiece(dc, text, line.start, from, x, y, clip);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        DrawPiece(dc, text, from, to, selectedLeft, y, clip);
        SetTextColor(dc, textColor);
        DrawPiece(dc, text, to, end, selectedRight, y, clip);
    }
    if (edit.focused && IsWindowEnabled(edit.window)) {
        const POINT caret = EditCaretPoint(edit, edit.selection.caret);
        RECT bar = {caret.x, caret.y, caret.x + 1, caret.y + edit.lineHeight};
        RECT shown;
        if (IntersectRect(&shown, &bar, &client)) {
            InvertRect(dc, &shown);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(edit.window, &paint);
}
