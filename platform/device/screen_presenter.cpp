// A copy of the last frame presented tells what changed since.
#include "device/screen_presenter.h"

#include "user/cursors.h"
#include "user/screen.h"

#include <algorithm>
#include <cstring>

namespace {

bool SameRow(const Surface &a, const Surface &b, int y) {
    const size_t offset = static_cast<size_t>(y) * static_cast<size_t>(a.width);
    return std::memcmp(a.pixels.data() + offset, b.pixels.data() + offset,
                       static_cast<size_t>(a.width) * sizeof(uint32_t)) == 0;
}

} // namespace

bool ChangedBox(const Surface &before, const Surface &after, Box &changed) {
    if (before.width != after.width || before.height != after.height) {
        changed = after.Bounds();
        return !changed.Empty();
    }
    int top = 0;
    while (top < after.height && SameRow(before, after, top)) {
        ++top;
    }
    if (top == after.height) {
        return false;
    }
    int bottom = after.height;
    while (SameRow(before, after, bottom - 1)) {
        --bottom;
    }
    int left = after.width;
    int right = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < left; ++x) {
            if (before.At(x, y) != after.At(x, y)) {
                left = x;
                break;
            }
        }
        for (int x = after.width - 1; x >= right; --x) {
            if (before.At(x, y) != after.At(x, y)) {
                right = x + 1;
                break;
            }
        }
    }
    changed = Box{left, top, right, bottom};
    return true;
}

bool ScreenPresenter::Present() {
    SyncScreen();
    const std::shared_ptr<Surface> screen = ScreenSurface();
    Surface seen;
    const Surface *frame = screen.get();
    if (WaitCursorShown()) {
        seen = *screen;
        DrawWaitCursor(seen);
        frame = &seen;
    }
    Box changed;
    if (!ChangedBox(shown, *frame, changed)) {
        return false;
    }
    display.present(*frame, changed);
    shown = *frame;
    return true;
}
