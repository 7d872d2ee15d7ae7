// A copy of the last frame presented tells what changed since.
#include "device/screen_presenter.h"

#include "user/cursors.h"
#include "kernel/machine.h"
#include "user/screen.h"
#include "user/window_state.h"

#include <algorithm>
#include <cstring>

namespace {

// Between two screens shown side by side.
const int screenGap = 8;
const uint32_t gapColor = 0x202020;

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

std::vector<ScreenPlace> ScreenPlaces() {
    std::vector<Machine *> machines = BootedMachines();
    std::stable_sort(machines.begin(), machines.end(), [](Machine *a, Machine *b) {
        return KindOf(a) == MachineKind::Device && KindOf(b) != MachineKind::Device;
    });
    std::vector<ScreenPlace> places;
    int left = 0;
    for (Machine *machine : machines) {
        Machine *previous = SwitchToMachine(machine);
        const RECT screen = RootWindow()->rect;
        SwitchToMachine(previous);
        places.push_back({machine, left, screen.right - screen.left, screen.bottom - screen.top});
        left += places.back().width + screenGap;
    }
    return places;
}

void ShownSize(int &width, int &height) {
    width = 0;
    height = 0;
    for (const ScreenPlace &place : ScreenPlaces()) {
        width = place.left + place.width;
        height = std::max(height, place.height);
    }
}

Machine *MachineAtShownPoint(int x, int y, int &screenX, int &screenY) {
    for (const ScreenPlace &place : ScreenPlaces()) {
        if (x >= place.left && x < place.left + place.width && y >= 0 && y < place.height) {
            screenX = x - place.left;
            screenY = y;
            return place.machine;
        }
    }
    return nullptr;
}

bool ScreenPresenter::Present() {
    const std::vector<ScreenPlace> places = ScreenPlaces();
    Surface seen;
    const Surface *frame = nullptr;
    std::shared_ptr<Surface> only;
    if (places.size() == 1) {
        Machine *previous = SwitchToMachine(places[0].machine);
        SyncScreen();
        only = ScreenSurface();
        if (WaitCursorShown()) {
            seen = *only;
            DrawWaitCursor(seen);
        }
        SwitchToMachine(previous);
        frame = seen.width > 0 ? &seen : only.get();
    } else {
        int width;
        int height;
        ShownSize(width, height);
        seen = Surface(width, height);
        std::fill(seen.pixels.begin(), seen.pixels.end(), gapColor);
        for (const ScreenPlace &place : places) {
            Machine *previous = SwitchToMachine(place.machine);
            SyncScreen();
            Surface screen = *ScreenSurface();
            if (WaitCursorShown()) {
                DrawWaitCursor(screen);
            }
            SwitchToMachine(previous);
            for (int y = 0; y < screen.height; ++y) {
                std::copy_n(screen.pixels.begin() + static_cast<ptrdiff_t>(y) * screen.width,
                            screen.width,
                            seen.pixels.begin() + static_cast<ptrdiff_t>(y) * width + place.left);
            }
        }
        frame = &seen;
    }
    if (frame == nullptr) {
        return false;
    }
    Box changed;
    if (!ChangedBox(shown, *frame, changed)) {
        return false;
    }
    display.present(*frame, changed);
    shown = *frame;
    return true;
}
