// Notes: a captioned window whose editing area ("NotesEdit") holds the document as its window
// text, takes typed characters and the editing keys, and places the caret where it is tapped.
#include "gdi/fonts.h"
#include "shell/notes_document.h"
#include "shell/shell.h"
#include "user/window_state.h"

#include <algorithm>

namespace {

const int margin = 2;

HFONT NotesFont() {
    return SharedSystemFont(-13, FW_NORMAL);
}

NotesDocument *DocumentOf(HWND edit) {
    return reinterpret_cast<NotesDocument *>(GetWindowLongPtrW(edit, GWL_USERDATA));
}

int LineHeight(HDC dc) {
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

int TextWidth(HDC dc, const std::u16string &text, size_t count) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(count), &size);
    return size.cx;
}

// The note's text is the window's own text: it is lent to the document while a message that
// reads or changes it is handled, and taken back after, so that no key copies the whole note.
class LentText {
  public:
    LentText(HWND edit, NotesDocument &document)
        : window_(FindWindowObject(edit)), document_(document) {
        if (window_ != nullptr) {
            document_.text.swap(window_->text);
        }
    }
    ~LentText() {
        if (window_ != nullptr) {
            document_.text.swap(window_->text);
        }
    }
    LentText(const LentText &) = delete;
    LentText &operator=(const LentText &) = delete;

  private:
    Window *window_;
    NotesDocument &document_;
};

// The document changed: the editing area is drawn again, all of it or, for a character typed
// into a line the window shows, that line.
void Changed(HWND edit, const NotesDocument &document, bool oneLine = false) {
    if (!oneLine) {
        InvalidateRect(edit, nullptr, TRUE);
        return;
    }
    HDC dc = GetDC(edit);
    HGDIOBJ oldFont = SelectObject(dc, NotesFont());
    const int lineHeight = std::max(LineHeight(dc), 1);
    SelectObject(dc, oldFont);
    ReleaseDC(edit, dc);
    RECT client;
    GetClientRect(edit, &client);
    // Only the lines the window shows are looked at: a caret below them changes nothing shown.
    const std::u16string &text = document.text;
    size_t start = 0;
    for (int top = margin; top < client.bottom; top += lineHeight) {
        const size_t found = text.find(u"\r\n", start);
        const size_t end = found == std::u16string::npos ? text.size() : found;
        if (document.caret >= start && document.caret <= end) {
            const RECT changed = {0, top, client.right, top + lineHeight};
            InvalidateRect(edit, &changed, TRUE);
            return;
        }
        if (found == std::u16string::npos) {
            return;
        }
        start = found + 2;
    }
}

void PaintEdit(HWND edit, const NotesDocument &document) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(edit, &paint);
    HGDIOBJ oldFont = SelectObject(dc, NotesFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const int lineHeight = std::max(LineHeight(dc), 1);
    // Only the lines the paint reaches are looked at and drawn: a long note costs no more to show
    // than a window of it.
    const std::u16string &text = document.text;
    size_t start = 0;
    for (int top = margin; top < paint.rcPaint.bottom; top += lineHeight) {
        const size_t found = text.find(u"\r\n", start);
        const size_t end = found == std::u16string::npos ? text.size() : found;
        if (top + lineHeight > paint.rcPaint.top) {
            ExtTextOutW(dc, margin, top, 0, nullptr, text.c_str() + start,
                        static_cast<UINT>(end - start), nullptr);
            if (document.caret >= start && document.caret <= end && GetFocus() == edit) {
                SIZE before = {};
                GetTextExtentPoint32W(dc, text.c_str() + start,
                                      static_cast<int>(document.caret - start), &before);
                MoveToEx(dc, margin + before.cx, top, nullptr);
                LineTo(dc, margin + before.cx, top + lineHeight);
            }
        }
        if (found == std::u16string::npos) {
            break;
        }
        start = found + 2;
    }
    SelectObject(dc, oldFont);
    EndPaint(edit, &paint);
}

// The caret goes to the character boundary nearest the tapped point.
void PlaceCaretAt(HWND edit, NotesDocument &document, int x, int y) {
    HDC dc = GetDC(edit);
    HGDIOBJ oldFont = SelectObject(dc, NotesFont());
    const int lineHeight = std::max(LineHeight(dc), 1);
    const std::vector<NotesLine> lines = SplitLines(document.text);
    const size_t line = std::min<size_t>(std::max(y - margin, 0) / lineHeight, lines.size() - 1);
    const std::u16string &text = lines[line].text;
    size_t column = 0;
    while (column < text.size()) {
        const int left = TextWidth(dc, text, column);
        const int right = TextWidth(dc, text, column + 1);
        if (x - margin < (left + right) / 2) {
            break;
        }
        ++column;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(edit, dc);
    PlaceCaret(document, line, column);
}

// The messages that read or change the note.
bool UsesTheText(UINT message) {
    switch (message) {
    case WM_SETTEXT:
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_PAINT:
        return true;
    }
    return false;
}

LRESULT HandleEdit(HWND edit, NotesDocument *document, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK NotesEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    NotesDocument *document = DocumentOf(edit);
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrW(edit, GWL_USERDATA, reinterpret_cast<LONG_PTR>(new NotesDocument));
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrW(edit, GWL_USERDATA, 0);
        delete document;
        return 0;
    }
    if (document == nullptr || !UsesTheText(message)) {
        return DefWindowProcW(edit, message, wParam, lParam);
    }
    LentText lent(edit, *document);
    return HandleEdit(edit, document, message, wParam, lParam);
}

LRESULT HandleEdit(HWND edit, NotesDocument *document, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT:
        if (document != nullptr) {
            document->text = lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            document->caret = document->text.size();
            Changed(edit, *document);
        }
        return TRUE;
    case WM_CHAR:
        if (document != nullptr) {
            TypeCharacter(*document, static_cast<char16_t>(wParam));
            // A printable character changes its own line only.
            Changed(edit, *document, wParam >= 0x20);
        }
        return 0;
    case WM_KEYDOWN:
        if (document == nullptr) {
            break;
        }
        switch (wParam) {
        case VK_DELETE:
            DeleteForward(*document);
            Changed(edit, *document);
            return 0;
        case VK_LEFT:
            MoveCaretLeft(*document);
            break;
        case VK_RIGHT:
            MoveCaretRight(*document);
            break;
        case VK_UP:
            MoveCaretUp(*document);
            break;
        case VK_DOWN:
            MoveCaretDown(*document);
            break;
        default:
            return 0;
        }
        InvalidateRect(edit, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        // The caret follows the stylus while it touches, and stays where it is lifted.
        if (document != nullptr && (message != WM_MOUSEMOVE || (wParam & MK_LBUTTON) != 0)) {
            SetFocus(edit);
            PlaceCaretAt(edit, *document, static_cast<short>(LOWORD(lParam)),
                         static_cast<short>(HIWORD(lParam)));
            InvalidateRect(edit, nullptr, TRUE);
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(edit, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        if (document != nullptr) {
            PaintEdit(edit, *document);
            return 0;
        }
        break;
    }
    return DefWindowProcW(edit, message, wParam, lParam);
}

LRESULT CALLBACK NotesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND edit = GetWindow(window, GW_CHILD);
    switch (message) {
    case WM_SIZE:
        if (edit != nullptr) {
            MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && edit != nullptr) {
            SetFocus(edit);
        }
        return 0;
    case WM_SETFOCUS:
        if (edit != nullptr) {
            SetFocus(edit);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI NotesMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = NotesProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = u"Notes";
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = NotesEditProc;
    windowClass.lpszClassName = u"NotesEdit";
    RegisterClassW(&windowClass);

    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    // Room is left above the task bar for the input panel.
    HWND window = CreateWindowExW(0, u"Notes", u"Notes", WS_CAPTION | WS_BORDER, 0, 0, screen.right,
                                  screen.bottom - taskBarHeight - inputPanelHeight, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    CreateWindowExW(0, u"NotesEdit", u"", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                    window, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Asked to quit from outside (the device powers off): the window still holds the document.
    if (IsWindow(window)) {
        DestroyWindow(window);
    }
    return static_cast<int>(message.wParam);
}
