// The edit control ("EDIT"): one line that scrolls sideways to keep the caret in view, or many
// (ES_MULTILINE) wrapped at the right edge unless ES_AUTOHSCROLL. Typing, Backspace, Delete,
// Return in a multi-line control, the arrows, Home and End (with Shift to select), and the stylus
// to place the caret or drag a selection; the parent hears EN_UPDATE and EN_CHANGE for every
// change but one made by WM_SETTEXT to a multi-line control, as on Windows.
#include "controls/control_classes.h"
#include "controls/edit.h"
#include "controls/edit_view.h"
#include "user/attached_state.h"

#include <algorithm>
#include <exception>
#include <string_view>

namespace {

// The most a program may ask for with EM_LIMITTEXT 0, as on Windows.
constexpr size_t singleLineMaximum = 0x7FFFFFFE;
constexpr size_t multiLineMaximum = 0xFFFFFFFF;

bool IsReadOnly(const Edit &edit) {
    return (EditStyleOf(edit) & ES_READONLY) != 0;
}

// Tells the parent; false when the control went meanwhile.
bool Notify(Edit &edit, WORD code) {
    if (HWND parent = GetParent(edit.window)) {
        const WORD id = static_cast<WORD>(GetWindowLongW(edit.window, GWL_ID));
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(edit.window));
    }
    return !edit.destroyed;
}

bool NotifyChange(Edit &edit) {
    return Notify(edit, EN_UPDATE) && Notify(edit, EN_CHANGE);
}

void Redraw(const Edit &edit) {
    InvalidateRect(edit.window, nullptr, FALSE);
}

// A change Windows would refuse for lack of room: a single line wider than the control without
// ES_AUTOHSCROLL, or more lines than show without ES_AUTOVSCROLL.
bool Overflows(const Edit &edit) {
    const DWORD style = EditStyleOf(edit);
    if (!IsMultiLineEdit(edit)) {
        const RECT format = EditFormatRect(edit);
        return (style & ES_AUTOHSCROLL) == 0 && !edit.lines.empty() &&
               edit.lines.front().width > format.right - format.left;
    }
    return (style & ES_AUTOVSCROLL) == 0 &&
           static_cast<int>(edit.lines.size()) > VisibleEditLines(edit);
}

// Replaces the selection with the text and tells the parent. A change by the user or by
// EM_REPLACESEL keeps to the limit and the room; false when nothing changed or the control went.
bool ReplaceSelection(Edit &edit, std::u16string_view insert, bool keepToLimits) {
    std::u16string &text = EditTextOf(edit);
    const size_t low = std::min(edit.selection.Low(), text.size());
    const size_t high = std::min(edit.selection.High(), text.size());
    bool cut = false;
    if (keepToLimits) {
        const size_t kept = text.size() - (high - low);
        const size_t room = edit.limit > kept ? edit.limit - kept : 0;
        if (insert.size() > room) {
            insert = insert.substr(0, room);
            cut = true;
        }
    }
    if (insert.empty() && low == high) {
        if (cut) {
            Notify(edit, EN_MAXTEXT);
        }
        return false;
    }
    const std::u16string removed = text.substr(low, high - low);
    const EditSelection before = edit.selection;
    text.replace(low, high - low, insert.data(), insert.size());
    edit.selection = EditSelection{low + insert.size(), low + insert.size()};
    LayOutEditAfterChange(edit, low, removed.size(), insert.size());
    if (keepToLimits && Overflows(edit)) {
        text.replace(low, insert.size(), removed);
        edit.selection = before;
        LayOutEditAfterChange(edit, low, insert.size(), removed.size());
        Notify(edit, EN_MAXTEXT);
        return false;
    }
    edit.modified = true;
    ScrollEditToCaret(edit);
    Redraw(edit);
    if (!NotifyChange(edit)) {
        return false;
    }
    return !cut || Notify(edit, EN_MAXTEXT);
}

void Select(Edit &edit, size_t anchor, size_t caret) {
    const size_t size = EditTextOf(edit).size();
    const EditSelection selection{std::min(anchor, size), std::min(caret, size)};
    if (selection.anchor != edit.selection.anchor || selection.caret != edit.selection.caret) {
        edit.selection = selection;
        Redraw(edit);
    }
}

// The caret goes to the position; with Shift down the selection stretches to it.
void MoveCaret(Edit &edit, size_t position, bool stretch) {
    Select(edit, stretch ? edit.selection.anchor : position, position);
    ScrollEditToCaret(edit);
}

LRESULT SetText(Edit &edit, LPCWSTR text, bool notify) {
    EditTextOf(edit) = text != nullptr ? text : u"";
    edit.selection = EditSelection{};
    edit.firstLine = 0;
    edit.scrollX = 0;
    edit.modified = false;
    LayOutEdit(edit);
    Redraw(edit);
    if (notify && !IsMultiLineEdit(edit)) {
        NotifyChange(edit);
    }
    return TRUE;
}

void Character(Edit &edit, WPARAM wParam) {
    if (IsReadOnly(edit) || wParam > 0xFFFF) {
        return;
    }
    const auto character = static_cast<char16_t>(wParam);
    const bool multiLine = IsMultiLineEdit(edit);
    if (character == u'\b') {
        const EditSelection span = BackspaceSpan(EditTextOf(edit), edit.selection);
        if (!span.Empty()) {
            edit.selection = span;
            ReplaceSelection(edit, u"", true);
        }
        return;
    }
    if (character == u'\r' || character == u'\n') {
        if (multiLine) {
            ReplaceSelection(edit, u"\r\n", true);
        }
        return;
    }
    if (character < 0x20 && !(character == u'\t' && multiLine)) {
        return;
    }
    ReplaceSelection(edit, std::u16string_view(&character, 1), true);
}

// The position a line up or down, about where the caret stands in its line.
size_t PositionOnLine(const Edit &edit, int step) {
    const size_t caret = edit.selection.caret;
    const int line = static_cast<int>(LineOfPosition(edit.lines, caret)) + step;
    if (line < 0 || line >= static_cast<int>(edit.lines.size())) {
        return caret;
    }
    return EditPositionInLine(edit, static_cast<size_t>(line), EditCaretPoint(edit, caret).x);
}

void KeyDown(Edit &edit, WPARAM key) {
    const std::u16string &text = EditTextOf(edit);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const size_t caret = edit.selection.caret;
    const EditLine *line =
        edit.lines.empty() ? nullptr : &edit.lines[LineOfPosition(edit.lines, caret)];
    switch (key) {
    case VK_LEFT:
        MoveCaret(edit, PositionBefore(text, caret), shift);
        break;
    case VK_RIGHT:
        MoveCaret(edit, PositionAfter(text, caret), shift);
        break;
    case VK_UP:
    case VK_DOWN:
        if (IsMultiLineEdit(edit)) {
            MoveCaret(edit, PositionOnLine(edit, key == VK_UP ? -1 : 1), shift);
        }
        break;
    case VK_HOME:
        MoveCaret(edit, line != nullptr ? line->start : 0, shift);
        break;
    case VK_END:
        MoveCaret(edit, line != nullptr ? line->start + line->length : text.size(), shift);
        break;
    case VK_DELETE:
        if (!IsReadOnly(edit)) {
            const EditSelection span = DeleteSpan(text, edit.selection);
            if (!span.Empty()) {
                edit.selection = span;
                ReplaceSelection(edit, u"", true);
            }
        }
        break;
    }
}

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void StylusDown(Edit &edit, LPARAM lParam) {
    if (GetFocus() != edit.window) {
        SetFocus(edit.window);
        if (edit.destroyed) {
            return;
        }
    }
    MoveCaret(edit, EditPositionAt(edit, PointOf(lParam)), GetKeyState(VK_SHIFT) < 0);
    edit.tracking = true;
    SetCapture(edit.window);
}

void StylusMove(Edit &edit, LPARAM lParam) {
    if (edit.tracking) {
        MoveCaret(edit, EditPositionAt(edit, PointOf(lParam)), true);
    }
}

void StylusUp(Edit &edit) {
    if (edit.tracking) {
        edit.tracking = false;
        if (GetCapture() == edit.window) {
            ReleaseCapture();
        }
    }
}

LRESULT GetSelection(const Edit &edit, WPARAM wParam, LPARAM lParam) {
    const size_t low = edit.selection.Low();
    const size_t high = edit.selection.High();
    if (wParam != 0) {
        *reinterpret_cast<DWORD *>(wParam) = static_cast<DWORD>(low);
    }
    if (lParam != 0) {
        *reinterpret_cast<DWORD *>(lParam) = static_cast<DWORD>(high);
    }
    return high > 0xFFFF ? -1 : static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(low, high)));
}

// A start of -1 takes the selection away and leaves the caret; an end of -1, or past the text,
// is the text's end. The caret goes to the end given, before the start or after it.
LRESULT SetSelection(Edit &edit, WPARAM wParam, LPARAM lParam) {
    const auto start = static_cast<int>(wParam);
    if (start == -1) {
        Select(edit, edit.selection.caret, edit.selection.caret);
        return 0;
    }
    const size_t size = EditTextOf(edit).size();
    const auto end = static_cast<DWORD>(lParam);
    Select(edit, std::min<size_t>(static_cast<DWORD>(start), size), std::min<size_t>(end, size));
    return 0;
}

LRESULT LineScroll(Edit &edit, WPARAM wParam, LPARAM lParam) {
    if (!IsMultiLineEdit(edit)) {
        return FALSE;
    }
    const auto lines = static_cast<int>(lParam);
    const long long first = static_cast<long long>(edit.firstLine) + lines;
    ScrollEditToLine(edit, static_cast<int>(std::clamp<long long>(first, 0, edit.lines.size())));
    const auto characters = static_cast<int>(wParam);
    if (characters != 0 && (EditStyleOf(edit) & ES_AUTOHSCROLL) != 0) {
        const long long x = static_cast<long long>(edit.scrollX) +
                            static_cast<long long>(characters) * edit.averageWidth;
        edit.scrollX = static_cast<int>(std::clamp<long long>(x, 0, 0x7FFF0000));
        Redraw(edit);
    }
    return TRUE;
}

LRESULT VerticalScroll(Edit &edit, WPARAM wParam) {
    if (!IsMultiLineEdit(edit)) {
        return 0;
    }
    const int page = VisibleEditLines(edit);
    int line = edit.firstLine;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        --line;
        break;
    case SB_LINEDOWN:
        ++line;
        break;
    case SB_PAGEUP:
        line -= page;
        break;
    case SB_PAGEDOWN:
        line += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        line = HIWORD(wParam);
        break;
    case SB_TOP:
        line = 0;
        break;
    case SB_BOTTOM:
        line = static_cast<int>(edit.lines.size());
        break;
    default:
        return 0;
    }
    ScrollEditToLine(edit, line);
    return 0;
}

LRESULT LineMessage(const Edit &edit, UINT message, WPARAM wParam) {
    const auto count = static_cast<int>(edit.lines.size());
    const auto index = static_cast<int>(wParam);
    switch (message) {
    case EM_GETLINECOUNT:
        return std::max(count, 1);
    case EM_GETFIRSTVISIBLELINE:
        if (IsMultiLineEdit(edit)) {
            return edit.firstLine;
        }
        // A single line answers its first character shown.
        return static_cast<LRESULT>(EditPositionInLine(edit, 0, EditFormatRect(edit).left));
    case EM_LINEINDEX: {
        const int line = index == -1
                             ? static_cast<int>(LineOfPosition(edit.lines, edit.selection.caret))
                             : index;
        return line >= 0 && line < count ? static_cast<LRESULT>(edit.lines[line].start) : -1;
    }
    case EM_LINEFROMCHAR: {
        const size_t position = index == -1 ? edit.selection.Low() : static_cast<size_t>(index);
        return static_cast<LRESULT>(LineOfPosition(edit.lines, position));
    }
    case EM_LINELENGTH: {
        if (index < 0) {
            return 0;
        }
        const size_t line = LineOfPosition(edit.lines, static_cast<size_t>(index));
        return line < edit.lines.size() ? static_cast<LRESULT>(edit.lines[line].length) : 0;
    }
    }
    return 0;
}

LRESULT CopyText(const Edit &edit, WPARAM size, LPARAM buffer) {
    if (size == 0 || buffer == 0) {
        return 0;
    }
    const std::u16string &text = EditTextOf(edit);
    const size_t count = std::min<size_t>(text.size(), size - 1);
    auto *to = reinterpret_cast<WCHAR *>(buffer);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count), to);
    to[count] = 0;
    return static_cast<LRESULT>(count);
}

LRESULT Handle(Edit &edit, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = edit.window;
    switch (message) {
    case WM_DESTROY:
        edit.destroyed = true;
        if (GetCapture() == window) {
            ReleaseCapture();
        }
        DetachState(window);
        return 0;
    case WM_PAINT:
        PaintEdit(edit);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_SIZE:
        LayOutEdit(edit);
        ScrollEditToCaret(edit);
        Redraw(edit);
        return 0;
    case WM_SETTEXT:
        return SetText(edit, reinterpret_cast<LPCWSTR>(lParam), true);
    case WM_GETTEXT:
        return CopyText(edit, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(EditTextOf(edit).size());
    case WM_SETFONT:
        edit.font = reinterpret_cast<HFONT>(wParam);
        LayOutEdit(edit);
        ScrollEditToCaret(edit);
        if (LOWORD(lParam) != 0) {
            Redraw(edit);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(edit.font);
    case WM_CHAR:
        Character(edit, wParam);
        return 0;
    case WM_KEYDOWN:
        KeyDown(edit, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        StylusDown(edit, lParam);
        return 0;
    case WM_MOUSEMOVE:
        StylusMove(edit, lParam);
        return 0;
    case WM_LBUTTONUP:
        StylusUp(edit);
        return 0;
    case WM_CAPTURECHANGED:
        edit.tracking = false;
        return 0;
    case WM_SETFOCUS:
        edit.focused = true;
        Redraw(edit);
        Notify(edit, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        edit.focused = false;
        StylusUp(edit);
        Redraw(edit);
        Notify(edit, EN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        Redraw(edit);
        return 0;
    case WM_VSCROLL:
        return VerticalScroll(edit, wParam);
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
        // Return is the dialog's, for its default button, unless the control wants it.
        if (IsMultiLineEdit(edit) && (EditStyleOf(edit) & ES_WANTRETURN) != 0 &&
            wParam == VK_RETURN) {
            code |= DLGC_WANTALLKEYS;
        }
        return code;
    }
    case EM_GETSEL:
        return GetSelection(edit, wParam, lParam);
    case EM_SETSEL:
        return SetSelection(edit, wParam, lParam);
    case EM_SCROLLCARET:
        ScrollEditToCaret(edit);
        return TRUE;
    case EM_REPLACESEL:
        if (lParam != 0) {
            ReplaceSelection(edit, reinterpret_cast<LPCWSTR>(lParam), true);
        }
        return 0;
    case EM_LINESCROLL:
        return LineScroll(edit, wParam, lParam);
    case EM_GETLINECOUNT:
    case EM_GETFIRSTVISIBLELINE:
    case EM_LINEINDEX:
    case EM_LINEFROMCHAR:
    case EM_LINELENGTH:
        return LineMessage(edit, message, wParam);
    case EM_SETREADONLY: {
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        SetWindowLongW(window, GWL_STYLE, wParam != 0 ? style | ES_READONLY : style & ~ES_READONLY);
        Redraw(edit);
        return TRUE;
    }
    case EM_LIMITTEXT: {
        const size_t most = IsMultiLineEdit(edit) ? multiLineMaximum : singleLineMaximum;
        edit.limit = wParam != 0 ? std::min<size_t>(wParam, most) : most;
        return 0;
    }
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(edit.limit);
    case EM_GETMODIFY:
        return edit.modified;
    case EM_SETMODIFY:
        edit.modified = wParam != 0;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Create(HWND window, LPARAM lParam) {
    const std::shared_ptr<Edit> edit = std::make_shared<Edit>();
    edit->window = window;
    edit->verticalBar = (GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL) != 0;
    AttachState(window, edit);
    const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
    SetText(*edit, creation != nullptr ? creation->lpszName : nullptr, false);
    return 0;
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        try {
            return Create(window, lParam);
        } catch (const std::exception &) {
            DetachState(window);
            return -1;
        }
    }
    const std::shared_ptr<Edit> edit = AttachedState<Edit>(window);
    if (edit == nullptr || edit->destroyed) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return Handle(*edit, message, wParam, lParam);
    } catch (const std::exception &) {
        // No memory for the text or its lines: the control shows nothing until its next change,
        // and the parent is told, as Windows tells it.
        edit->lines.clear();
        Notify(*edit, EN_ERRSPACE);
        return 0;
    }
}

} // namespace

void RegisterEditClass() {
    WNDCLASSW description = {};
    description.lpfnWndProc = EditProc;
    description.lpszClassName = u"EDIT";
    RegisterSystemClass(description);
}
