// The screen's map of windows, and what a change to it exposes.
#include "user/screen.h"

#include "gdi/colors.h"
#include "kernel/machine.h"
#include "user/painting.h"
#include "user/window_frames.h"

#include <algorithm>
#include <unordered_map>

namespace {

struct ScreenState : MachinePart {
    std::shared_ptr<Surface> surface;
    // The window showing each pixel, by handle: handles are never reused, so a map made before a
    // window went can still be compared with one made after.
    std::vector<HWND> owners;
    uint64_t generation = 1;
    bool stale = true;
};

ScreenState &State() {
    return MachineState<ScreenState>();
}

Box ToBox(const RECT &rect) {
    return Box{rect.left, rect.top, rect.right, rect.bottom};
}

// Paints the window's handle over the pixels it shows, then its children over it.
void MarkOwners(ScreenState &state, Window *window, const Box &allowed) {
    const Box box = Intersect(WindowBox(window), allowed);
    if (box.Empty()) {
        return;
    }
    for (int y = box.top; y < box.bottom; ++y) {
        HWND *row = state.owners.data() + static_cast<size_t>(y) * state.surface->width;
        std::fill(row + box.left, row + box.right, window->handle);
    }
    const Box inside = Intersect(ClientBox(window), box);
    for (auto child = window->children.rbegin(); child != window->children.rend(); ++child) {
        if (((*child)->style & WS_VISIBLE) != 0) {
            MarkOwners(state, *child, inside);
        }
    }
}

std::vector<HWND> MakeOwners(ScreenState &state) {
    Window *root = RootWindow();
    const Box screen = state.surface->Bounds();
    state.owners.assign(static_cast<size_t>(screen.right) * screen.bottom, root->handle);
    for (auto child = root->children.rbegin(); child != root->children.rend(); ++child) {
        if (((*child)->style & WS_VISIBLE) != 0) {
            MarkOwners(state, *child, screen);
        }
    }
    std::vector<Window *> topLevel;
    for (HWND window = GetWindow(root->handle, GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        topLevel.push_back(FindWindowObject(window));
    }
    for (auto window = topLevel.rbegin(); window != topLevel.rend(); ++window) {
        if (((*window)->style & WS_VISIBLE) != 0) {
            MarkOwners(state, *window, screen);
        }
    }
    return state.owners;
}

void Include(Box &bounds, int left, int top, int right, int bottom) {
    if (bounds.Empty()) {
        bounds = Box{left, top, right, bottom};
        return;
    }
    bounds = Box{std::min(bounds.left, left), std::min(bounds.top, top),
                 std::max(bounds.right, right), std::max(bounds.bottom, bottom)};
}

void PaintDesktop(Surface &surface, const Box &box) {
    const uint32_t color = PixelForSurface(surface, GetSysColor(COLOR_BACKGROUND));
    for (int y = box.top; y < box.bottom; ++y) {
        std::fill(&surface.At(box.left, y), &surface.At(box.left, y) + (box.right - box.left),
                  color);
    }
}

// Exposed pixels go to the windows now showing them: a bounding box each, which can only
// repaint more than needed, never less.
void Expose(ScreenState &state, const std::vector<HWND> &before) {
    std::unordered_map<HWND, Box> exposed;
    const int width = state.surface->width;
    const int height = state.surface->height;
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(y) * width;
        for (int x = 0; x < width;) {
            const HWND owner = state.owners[row + x];
            if (owner == before[row + x]) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < width && state.owners[row + end] == owner &&
                   state.owners[row + end] != before[row + end]) {
                ++end;
            }
            Include(exposed[owner], x, y, end, y + 1);
            x = end;
        }
    }
    for (const auto &[handle, box] : exposed) {
        Window *window = FindWindowObject(handle);
        if (window == RootWindow()) {
            PaintDesktop(*state.surface, box);
        } else if (window != nullptr) {
            InvalidateScreenBox(window, box);
        }
    }
}

void CollectFrames(Window *window, std::vector<Window *> &frames) {
    if (window->frameDirty) {
        frames.push_back(window);
    }
    for (Window *child : window->children) {
        CollectFrames(child, frames);
    }
}

void DrawDirtyFrames() {
    std::vector<Window *> frames;
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        CollectFrames(FindWindowObject(window), frames);
    }
    for (Window *window : frames) {
        window->frameDirty = false;
        if (IsShown(window)) {
            DrawWindowFrame(window);
        }
    }
}

} // namespace

std::shared_ptr<Surface> ScreenSurface() {
    ScreenState &state = State();
    if (!state.surface) {
        const RECT screen = RootWindow()->rect;
        ResetScreen(screen.right - screen.left, screen.bottom - screen.top);
    }
    return state.surface;
}

void ResetScreen(int width, int height) {
    ScreenState &state = State();
    state.surface = std::make_shared<Surface>(width, height);
    state.surface->screen = true;
    state.owners.assign(static_cast<size_t>(width) * height, RootWindow()->handle);
    PaintDesktop(*state.surface, state.surface->Bounds());
    ++state.generation;
    state.stale = true;
}

void ScreenLayoutChanged() {
    State().stale = true;
}

void SyncScreen() {
    ScreenState &state = State();
    ScreenSurface();
    if (state.stale) {
        state.stale = false;
        std::vector<HWND> before = std::move(state.owners);
        MakeOwners(state);
        ++state.generation;
        Expose(state, before);
    }
    DrawDirtyFrames();
}

const std::vector<Box> &VisibleBoxes(Window *window) {
    ScreenState &state = State();
    SyncScreen();
    if (window->visibleGeneration == state.generation) {
        return window->visibleBoxes;
    }
    window->visibleGeneration = state.generation;
    window->visibleBoxes.clear();
    const Box box = Intersect(WindowBox(window), state.surface->Bounds());
    // Runs of the window's pixels row by row; a row with the same runs as the one above extends
    // its boxes downwards.
    std::vector<Box> open;
    std::vector<Box> runs;
    for (int y = box.top; y < box.bottom; ++y) {
        runs.clear();
        const HWND *row = state.owners.data() + static_cast<size_t>(y) * state.surface->width;
        for (int x = box.left; x < box.right;) {
            if (row[x] != window->handle) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < box.right && row[end] == window->handle) {
                ++end;
            }
            runs.push_back(Box{x, y, end, y + 1});
            x = end;
        }
        const bool same =
            runs.size() == open.size() &&
            std::equal(runs.begin(), runs.end(), open.begin(), [](const Box &a, const Box &b) {
                return a.left == b.left && a.right == b.right;
            });
        if (same) {
            for (Box &extended : open) {
                extended.bottom = y + 1;
            }
            continue;
        }
        window->visibleBoxes.insert(window->visibleBoxes.end(), open.begin(), open.end());
        open = runs;
    }
    window->visibleBoxes.insert(window->visibleBoxes.end(), open.begin(), open.end());
    return window->visibleBoxes;
}

bool IsShown(const Window *window) {
    for (; window != nullptr; window = window->parent) {
        if ((window->style & WS_VISIBLE) == 0 || window->destroying) {
            return false;
        }
    }
    return true;
}

Box WindowBox(const Window *window) {
    Box box = ToBox(window->rect);
    if (window->parent != nullptr && window->parent != RootWindow()) {
        const POINT origin = ClientOrigin(window->parent);
        box = Box{box.left + origin.x, box.top + origin.y, box.right + origin.x,
                  box.bottom + origin.y};
    }
    return box;
}

Box ClientBox(const Window *window) {
    if (window == RootWindow()) {
        return ToBox(window->rect);
    }
    const POINT origin = ClientOrigin(window);
    const SIZE size = ClientSize(window);
    return Box{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
}

void InvalidateWholeWindow(Window *window) {
    // Replaced rather than added to: after a resize the old region may reach past the client.
    const SIZE size = ClientSize(window);
    window->update = RECT{0, 0, size.cx, size.cy};
    window->eraseUpdate = true;
    window->frameDirty = true;
    for (Window *child : window->children) {
        InvalidateWholeWindow(child);
    }
}
