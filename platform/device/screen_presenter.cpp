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

namespace {

void SizeOf(const std::vector<ScreenPlace> &places, int &width, int &height) {
    width = 0;
    height = 0;
    for (const ScreenPlace &place : places) {
        width = place.left + place.width;
        height = std::max(height, place.height);
    }
}

} // namespace

void ShownSize(int &width, int &height) {
    SizeOf(ScreenPlaces(), width, height);
}

bool ShownPointOnMachine(Machine *machine, int x, int y, int &screenX, int &screenY) {
    for (const ScreenPlace &place : ScreenPlaces()) {
        if (place.machine == machine) {
            screenX = x - place.left;
            screenY = y;
            return true;
        }
    }
    return false;
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

namespace {

// What a person sees of a machine's screen: the screen itself, or a copy with the wait cursor
// drawn over it while one is shown.
const Surface *SeenScreen(Machine *machine, std::shared_ptr<Surface> &screen, Surface &withCursor) {
    Machine *previous = SwitchToMachine(machine);
    SyncScreen();
    screen = ScreenSurface();
    const Surface *seen = screen.get();
    if (WaitCursorShown()) {
        withCursor = *screen;
        DrawWaitCursor(withCursor);
        seen = &withCursor;
    }
    SwitchToMachine(previous);
    return seen;
}

} // namespace

bool ScreenPresenter::Present() {
    const std::vector<ScreenPlace> places = ScreenPlaces();
    if (places.empty()) {
        return false;
    }
    std::shared_ptr<Surface> screen;
    Surface withCursor;
    Surface composed;
    const Surface *frame = nullptr;
    if (places.size() == 1) {
        frame = SeenScreen(places[0].machine, screen, withCursor);
    } else {
        int width;
        int height;
        SizeOf(places, width, height);
        composed = Surface(width, height, gapColor);
        for (const ScreenPlace &place : places) {
            const Surface &seen = *SeenScreen(place.machine, screen, withCursor);
            for (int y = 0; y < seen.height; ++y) {
                std::copy_n(
                    seen.pixels.begin() + static_cast<ptrdiff_t>(y) * seen.width, seen.width,
                    composed.pixels.begin() + static_cast<ptrdiff_t>(y) * width + place.left);
            }
        }
        frame = &composed;
    }
    Box changed;
    if (!ChangedBox(shown, *frame, changed)) {
        return false;
    }
    display.present(*frame, changed);
    shown = *frame;
    return true;
}
