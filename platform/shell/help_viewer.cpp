// The help viewer (\Windows\peghelp.exe): shows a help file of \Windows, named on its command
// line, as wrapped text in a captioned window with a Close button, scrolled with its scroll bar
// when it is longer than the window. Help files are UTF-8 text.
#include "kernel/code_pages.h"
#include "kernel/whole_files.h"
#include "shell/shell.h"

#include <algorithm>
#include <vector>

namespace {

const int margin = 4;
const int closeId = IDCANCEL;
const int closeWidth = 56;
const int closeHeight = 22;
// Help files are small; anything larger is not one.
const size_t largestHelpFile = 64 * 1024;

std::u16string HelpText(LPCWSTR commandLine) {
    std::u16string name = commandLine != nullptr ? commandLine : u"";
    if (name.empty()) {
        return u"No help file was named.";
    }
    const std::u16string path =
        name.find_first_of(u"\\/") == std::u16string::npos ? u"\\Windows\\" + name : name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    std::vector<unsigned char> bytes;
    const bool read = file != INVALID_HANDLE_VALUE && ReadWholeFile(file, largestHelpFile, bytes);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!read) {
        return u"The help file " + name + u" cannot be read.";
    }
    return WideFromUtf8(std::string(bytes.begin(), bytes.end()));
}

struct HelpView {
    std::u16string text;
    int height = 0; // of the whole wrapped text
    int scroll = 0; // pixels of it above the window
};

HelpView *ViewOf(HWND window) {
    return reinterpret_cast<HelpView *>(GetWindowLongPtrW(window, GWL_USERDATA));
}

RECT TextRect(HWND window) {
    RECT text;
    GetClientRect(window, &text);
    InflateRect(&text, -margin, -margin);
    text.bottom -= closeHeight + margin;
    return text;
}

int LineHeight(HDC dc) {
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    return std::max<int>(metrics.tmHeight, 1);
}

// Measures the wrapped text and sets the scroll bar to it.
void Measure(HWND window, HelpView &view) {
    const RECT text = TextRect(window);
    RECT measured = {0, 0, text.right - text.left, 0};
    HDC dc = GetDC(window);
    DrawTextW(dc, view.text.c_str(), static_cast<int>(view.text.size()), &measured,
              DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    ReleaseDC(window, dc);
    view.height = measured.bottom;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(view.height - 1, 0);
    info.nPage = static_cast<UINT>(std::max<LONG>(text.bottom - text.top, 0));
    info.nPos = view.scroll;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
}

void ScrollTo(HWND window, HelpView &view, int position) {
    const RECT text = TextRect(window);
    const int last = std::max<int>(view.height - (text.bottom - text.top), 0);
    position = std::clamp(position, 0, last);
    if (position != view.scroll) {
        view.scroll = position;
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        info.nPos = position;
        SetScrollInfo(window, SB_VERT, &info, TRUE);
        InvalidateRect(window, &text, TRUE);
    }
}

// The whole text is drawn once into a picture of its height, and the part scrolled to is shown.
void Paint(HWND window, const HelpView &view) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const RECT text = TextRect(window);
    const int width = text.right - text.left;
    const int height = text.bottom - text.top;
    if (width > 0 && height > 0 && view.height > 0) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP picture = CreateCompatibleBitmap(dc, width, view.height);
        HGDIOBJ oldPicture = SelectObject(memory, picture);
        HGDIOBJ oldFont = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
        RECT whole = {0, 0, width, view.height};
        FillRect(memory, &whole, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(memory, TRANSPARENT);
        SetTextColor(memory, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(memory, view.text.c_str(), static_cast<int>(view.text.size()), &whole,
                  DT_WORDBREAK | DT_NOPREFIX);
        BitBlt(dc, text.left, text.top, width, std::min(height, view.height - view.scroll), memory,
               0, view.scroll, SRCCOPY);
        SelectObject(memory, oldFont);
        SelectObject(memory, oldPicture);
        DeleteObject(picture);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK HelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HelpView *view = ViewOf(window);
    switch (message) {
    case WM_PAINT:
        if (view != nullptr) {
            Paint(window, *view);
            return 0;
        }
        break;
    case WM_VSCROLL: {
        if (view == nullptr) {
            return 0;
        }
        HDC dc = GetDC(window);
        const int line = LineHeight(dc);
        ReleaseDC(window, dc);
        const RECT text = TextRect(window);
        const int page = std::max<int>(text.bottom - text.top - line, line);
        switch (LOWORD(wParam)) {
        case SB_LINEUP:
            ScrollTo(window, *view, view->scroll - line);
            break;
        case SB_LINEDOWN:
            ScrollTo(window, *view, view->scroll + line);
            break;
        case SB_PAGEUP:
            ScrollTo(window, *view, view->scroll - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(window, *view, view->scroll + page);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            ScrollTo(window, *view, static_cast<short>(HIWORD(wParam)));
            break;
        }
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == closeId) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI HelpViewerMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HelpProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = u"HelpViewer";
    RegisterClassW(&windowClass);
    HelpView view;
    view.text = HelpText(commandLine);

    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const int width = screen.right;
    const int height = screen.bottom - taskBarHeight;
    HWND window = CreateWindowExW(0, u"HelpViewer", u"Help", WS_CAPTION | WS_BORDER | WS_VSCROLL, 0,
                                  0, width, height, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&view));
    Measure(window, view);
    RECT client;
    GetClientRect(window, &client);
    CreateWindowExW(0, u"BUTTON", u"Close", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON,
                    client.right - closeWidth - margin, client.bottom - closeHeight - margin,
                    closeWidth, closeHeight, window,
                    reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(closeId)), instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
