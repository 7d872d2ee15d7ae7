// The progress bar in the classic look: inside a sunken edge when the extended styles ask for
// one, a one-pixel margin in the face colour, then the filled part in the highlight colour from
// the left (from the bottom with PBS_VERTICAL), drawn in blocks two thirds of the bar's
// thickness wide with two-pixel gaps, or in one piece with PBS_SMOOTH. The filled part is
// rounded up to whole blocks, as Windows draws it.
#include "controls/progress_bar.h"
#include "controls/progress_position.h"
#include "user/attached_state.h"

#include <commctrl.h>

#include <algorithm>
#include <new>

namespace {

struct ProgressBar {
    ProgressPosition position;
    HFONT font = nullptr; // kept for WM_GETFONT only: the bar shows no text
};

constexpr int blockGap = 2;

bool Vertical(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & PBS_VERTICAL) != 0;
}

void DrawSunkenEdge(HDC dc, RECT &rect) {
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    const RECT top = {rect.left, rect.top, rect.right, rect.top + 1};
    const RECT left = {rect.left, rect.top, rect.left + 1, rect.bottom};
    const RECT bottom = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
    const RECT right = {rect.right - 1, rect.top, rect.right, rect.bottom};
    FillRect(dc, &bottom, light);
    FillRect(dc, &right, light);
    FillRect(dc, &top, shadow);
    FillRect(dc, &left, shadow);
    InflateRect(&rect, -1, -1);
}

// A piece of the bar, measured along it from its start.
RECT Piece(const RECT &bar, bool vertical, int from, int to) {
    if (vertical) {
        return RECT{bar.left, bar.bottom - to, bar.right, bar.bottom - from};
    }
    return RECT{bar.left + from, bar.top, bar.left + to, bar.bottom};
}

void Paint(HWND window, const ProgressBar &progress) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT bar;
    GetClientRect(window, &bar);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    if ((GetWindowLongW(window, GWL_EXSTYLE) & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE)) != 0 &&
        bar.right - bar.left >= 2 && bar.bottom - bar.top >= 2) {
        DrawSunkenEdge(dc, bar);
    }
    FillRect(dc, &bar, face);
    InflateRect(&bar, -1, -1);
    if (bar.right <= bar.left || bar.bottom <= bar.top) {
        EndPaint(window, &paint);
        return;
    }
    const bool vertical = Vertical(window);
    const int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    const int thickness = vertical ? bar.right - bar.left : bar.bottom - bar.top;
    int filled = FilledLength(progress.position, length);
    HBRUSH highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
    if ((GetWindowLongW(window, GWL_STYLE) & PBS_SMOOTH) != 0) {
        const RECT done = Piece(bar, vertical, 0, filled);
        FillRect(dc, &done, highlight);
    } else {
        const int block = std::max((thickness * 2 + 1) / 3, 1);
        const int pitch = block + blockGap;
        filled = std::min((filled + pitch - 1) / pitch * pitch, length);
        for (int start = 0; start < filled; start += pitch) {
            const RECT piece = Piece(bar, vertical, start, std::min(start + block, filled));
            FillRect(dc, &piece, highlight);
        }
    }
    EndPaint(window, &paint);
}

// A new position shows at once, as on Windows.
void ShowPosition(HWND window, int previous, const ProgressBar &progress) {
    if (previous != progress.position.position) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
}

LRESULT PackedRange(const ProgressPosition &position) {
    return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(position.low, position.high)));
}

LRESULT SetRange(HWND window, ProgressBar &progress, int low, int high) {
    const LRESULT previousRange = PackedRange(progress.position);
    if (low != progress.position.low || high != progress.position.high) {
        SetProgressRange(progress.position, low, high);
        InvalidateRect(window, nullptr, FALSE);
    }
    return previousRange;
}

LRESULT Handle(HWND window, ProgressBar &progress, UINT message, WPARAM wParam, LPARAM lParam) {
    ProgressPosition &position = progress.position;
    switch (message) {
    case WM_DESTROY:
        DetachState(window);
        return 0;
    case WM_PAINT:
        Paint(window, progress);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_SETFONT:
        progress.font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(progress.font);
    case PBM_SETRANGE:
        return SetRange(window, progress, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32:
        return SetRange(window, progress, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (lParam != 0) {
            auto *range = reinterpret_cast<PBRANGE *>(lParam);
            range->iLow = position.low;
            range->iHigh = position.high;
        }
        return wParam != 0 ? position.low : position.high;
    case PBM_GETPOS:
        return position.position;
    case PBM_SETSTEP: {
        const int previous = position.step;
        position.step = static_cast<int>(wParam);
        return previous;
    }
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT: {
        int previous = 0;
        if (message == PBM_SETPOS) {
            previous = SetProgressPosition(position, static_cast<int>(wParam));
        } else if (message == PBM_DELTAPOS) {
            previous = MoveProgressPosition(position, static_cast<int>(wParam));
        } else {
            previous = StepProgress(position);
        }
        ShowPosition(window, previous, progress);
        return previous;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ProgressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        std::shared_ptr<ProgressBar> progress;
        try {
            progress = std::make_shared<ProgressBar>();
        } catch (const std::bad_alloc &) {
            return -1;
        }
        AttachState(window, progress);
        return 0;
    }
    const std::shared_ptr<ProgressBar> progress = AttachedState<ProgressBar>(window);
    if (progress == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return Handle(window, *progress, message, wParam, lParam);
}

} // namespace

void RegisterProgressBarClass() {
    const WindowClass *existing = FindWindowClass(PROGRESS_CLASSW);
    if (existing != nullptr && existing->program == GetCurrentThreadId()) {
        return;
    }
    WNDCLASSW description = {};
    description.style = CS_HREDRAW | CS_VREDRAW;
    description.lpfnWndProc = ProgressBarProc;
    description.lpszClassName = PROGRESS_CLASSW;
    RegisterClassW(&description);
}
