// LoadCursor and SetCursor. A stylus device has no pointer to show: only the wait cursor appears,
// in the middle of the screen, and is drawn over what the windows show rather than into it.
#include "user/cursors.h"

#include <windows.h>

#include "kernel/machine.h"

#include <cstdint>

namespace {

const uintptr_t arrowId = 32512;
const uintptr_t waitId = 32514;

// The system's cursors are fixed handles, never destroyed.
HCURSOR SystemCursor(uintptr_t id) {
    return reinterpret_cast<HCURSOR>(0x7FFF0000u + id);
}

// The cursor the machine shows.
struct CursorState : MachinePart {
    HCURSOR current = nullptr;
};

HCURSOR &Current() {
    return MachineState<CursorState>().current;
}

} // namespace

extern "C" HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (instance != nullptr || (id != arrowId && id != waitId)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return SystemCursor(id);
}

extern "C" HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    HCURSOR previous = Current();
    Current() = cursor;
    return previous;
}

extern "C" HCURSOR WINAPI GetCursor(void) {
    return Current();
}

bool WaitCursorShown() {
    return Current() == SystemCursor(waitId);
}

// A ring of eight dots, as the device's busy indicator.
void DrawWaitCursor(Surface &screen) {
    static const int dots[8][2] = {{0, -9}, {6, -6}, {9, 0},  {6, 6},
                                   {0, 9},  {-6, 6}, {-9, 0}, {-6, -6}};
    const int centerX = screen.width / 2;
    const int centerY = screen.height / 2;
    for (int i = 0; i < 8; ++i) {
        const uint32_t color = i < 4 ? 0x000000u : 0x808080u;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = centerX + dots[i][0] + dx;
                const int y = centerY + dots[i][1] + dy;
                if (dx * dx + dy * dy <= 4 && screen.Bounds().Contains(x, y)) {
                    screen.At(x, y) = color;
                }
            }
        }
    }
}
