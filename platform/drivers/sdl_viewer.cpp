// The viewer's window. The screen is scaled into a surface of the window's size, which is then
// copied to the window's own surface, whatever pixel format the host gives it.
#include "drivers/sdl_viewer.h"

#include "drivers/sdl_keys.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>

namespace {

const char *const title = "Pennakey device";

struct Viewer {
    SDL_Window *window = nullptr;
    // The screen at the window's size, in the framebuffer's own pixel layout.
    SDL_Surface *scaled = nullptr;
    int width = 0;
    int height = 0;
    int scale = 1;
    bool stylusHeld = false;
    int stylusX = 0;
    int stylusY = 0;
    bool keysHeld[256] = {};
    // One SDL event may stand for several of the device's, such as a loss of focus that lifts
    // the stylus and every key.
    std::deque<DisplayEvent> pending;
};

Viewer viewer;

bool HasDisplay() {
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// SDL's video stays up from its first start to the end of the process: quitting it unloads
// libraries that still hold memory of their own (the session bus's among them), and a process
// opens the viewer only a few times.
bool StartVideo() {
    static bool started = false;
    if (started) {
        return true;
    }
    // Interrupts stay with the program that runs the viewer.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A click that brings the window forward is a tap as well, as on the device.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return started;
}

void Close() {
    if (viewer.scaled != nullptr) {
        SDL_FreeSurface(viewer.scaled);
    }
    if (viewer.window != nullptr) {
        SDL_DestroyWindow(viewer.window);
    }
    viewer = Viewer();
}

bool Open(int width, int height, int scale) {
    Close();
    if (width <= 0 || height <= 0 || scale <= 0 || width > maxSurfaceSide / scale ||
        height > maxSurfaceSide / scale || !SurfaceSizeAllowed(width * scale, height * scale) ||
        !StartVideo()) {
        return false;
    }
    viewer.window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                     width * scale, height * scale, 0);
    if (viewer.window == nullptr) {
        return false;
    }
    viewer.scaled = SDL_CreateRGBSurfaceWithFormat(0, width * scale, height * scale, 32,
                                                   SDL_PIXELFORMAT_RGB888);
    if (viewer.scaled == nullptr || SDL_GetWindowSurface(viewer.window) == nullptr) {
        Close();
        return false;
    }
    SDL_SetSurfaceBlendMode(viewer.scaled, SDL_BLENDMODE_NONE);
    // Keys are read as keys; the host's input methods have no part in it.
    SDL_StopTextInput();
    viewer.width = width;
    viewer.height = height;
    viewer.scale = scale;
    return true;
}

// Copies a piece of the scaled screen to the window and shows it.
void Show(const SDL_Rect &rect) {
    SDL_Surface *target = SDL_GetWindowSurface(viewer.window);
    if (target == nullptr) {
        return;
    }
    SDL_Rect to = rect;
    SDL_BlitSurface(viewer.scaled, &rect, target, &to);
    SDL_UpdateWindowSurfaceRects(viewer.window, &rect, 1);
}

void Present(const Surface &screen, const Box &dirty) {
    if (viewer.window == nullptr) {
        return;
    }
    const Box box = Intersect(dirty, Box{0, 0, std::min(screen.width, viewer.width),
                                         std::min(screen.height, viewer.height)});
    if (box.Empty()) {
        return;
    }
    const int scale = viewer.scale;
    auto *pixels = static_cast<uint8_t *>(viewer.scaled->pixels);
    for (int y = box.top; y < box.bottom; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(
            pixels + static_cast<size_t>(y * scale) * static_cast<size_t>(viewer.scaled->pitch));
        for (int x = box.left; x < box.right; ++x) {
            std::fill_n(row + x * scale, scale, screen.At(x, y));
        }
        for (int copy = 1; copy < scale; ++copy) {
            auto *same = pixels + static_cast<size_t>(y * scale + copy) *
                                      static_cast<size_t>(viewer.scaled->pitch);
            std::memcpy(same + static_cast<size_t>(box.left * scale) * 4,
                        reinterpret_cast<uint8_t *>(row) +
                            static_cast<size_t>(box.left * scale) * 4,
                        static_cast<size_t>((box.right - box.left) * scale) * 4);
        }
    }
    Show(SDL_Rect{box.left * scale, box.top * scale, (box.right - box.left) * scale,
                  (box.bottom - box.top) * scale});
}

void Queue(DisplayEventKind kind, int x = 0, int y = 0, uint8_t key = 0) {
    DisplayEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.key = key;
    viewer.pending.push_back(event);
}

// A window point as a device point; one outside the window (the mouse is kept while a button is
// held) goes to the nearest edge.
void DevicePoint(int windowX, int windowY, int &x, int &y) {
    x = std::clamp(windowX / viewer.scale, 0, viewer.width - 1);
    y = std::clamp(windowY / viewer.scale, 0, viewer.height - 1);
}

// Nothing stays held on the device that the host no longer holds for it.
void LetGo() {
    if (viewer.stylusHeld) {
        viewer.stylusHeld = false;
        Queue(DisplayEventKind::StylusUp, viewer.stylusX, viewer.stylusY);
    }
    for (int key = 0; key < 256; ++key) {
        if (viewer.keysHeld[key]) {
            viewer.keysHeld[key] = false;
            Queue(DisplayEventKind::KeyUp, 0, 0, static_cast<uint8_t>(key));
        }
    }
}

void Translate(const SDL_Event &event) {
    const Uint32 windowId = SDL_GetWindowID(viewer.window);
    switch (event.type) {
    case SDL_QUIT:
        Queue(DisplayEventKind::Quit);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.windowID != windowId) {
            break;
        }
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            Queue(DisplayEventKind::Quit);
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            Show(SDL_Rect{0, 0, viewer.width * viewer.scale, viewer.height * viewer.scale});
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            LetGo();
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.windowID == windowId && event.button.button == SDL_BUTTON_LEFT &&
            !viewer.stylusHeld) {
            viewer.stylusHeld = true;
            DevicePoint(event.button.x, event.button.y, viewer.stylusX, viewer.stylusY);
            Queue(DisplayEventKind::StylusDown, viewer.stylusX, viewer.stylusY);
        }
        break;
    case SDL_MOUSEMOTION:
        if (viewer.stylusHeld) {
            int x = 0;
            int y = 0;
            DevicePoint(event.motion.x, event.motion.y, x, y);
            if (x != viewer.stylusX || y != viewer.stylusY) {
                viewer.stylusX = x;
                viewer.stylusY = y;
                Queue(DisplayEventKind::StylusMove, x, y);
            }
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT && viewer.stylusHeld) {
            viewer.stylusHeld = false;
            DevicePoint(event.button.x, event.button.y, viewer.stylusX, viewer.stylusY);
            Queue(DisplayEventKind::StylusUp, viewer.stylusX, viewer.stylusY);
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (event.key.windowID != windowId) {
            break;
        }
        const uint8_t key = VirtualKeyFromSdl(event.key.keysym.sym);
        if (key == 0) {
            break;
        }
        if (event.type == SDL_KEYDOWN) {
            // A held key repeats, as it does on Windows.
            viewer.keysHeld[key] = true;
            Queue(DisplayEventKind::KeyDown, 0, 0, key);
        } else if (viewer.keysHeld[key]) {
            viewer.keysHeld[key] = false;
            Queue(DisplayEventKind::KeyUp, 0, 0, key);
        }
        break;
    }
    }
}

bool Poll(DisplayEvent &event) {
    if (viewer.window == nullptr) {
        return false;
    }
    SDL_Event sdl;
    while (viewer.pending.empty() && SDL_PollEvent(&sdl) != 0) {
        Translate(sdl);
    }
    if (viewer.pending.empty()) {
        return false;
    }
    event = viewer.pending.front();
    viewer.pending.pop_front();
    return true;
}

} // namespace

const DisplayDriver sdlViewer = {Open, Close, Present, Poll};

bool SdlViewerAvailable() {
    if (viewer.window != nullptr) {
        return true;
    }
    return HasDisplay() && StartVideo();
}

bool ReadSdlViewerFrame(Surface &frame) {
    if (viewer.window == nullptr) {
        return false;
    }
    SDL_Surface *target = SDL_GetWindowSurface(viewer.window);
    if (target == nullptr) {
        return false;
    }
    SDL_Surface *copy = SDL_ConvertSurfaceFormat(target, SDL_PIXELFORMAT_RGB888, 0);
    if (copy == nullptr) {
        return false;
    }
    frame = Surface(copy->w, copy->h);
    const auto *pixels = static_cast<const uint8_t *>(copy->pixels);
    for (int y = 0; y < copy->h; ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(
            pixels + static_cast<size_t>(y) * static_cast<size_t>(copy->pitch));
        for (int x = 0; x < copy->w; ++x) {
            frame.At(x, y) = row[x] & 0xFFFFFFu;
        }
    }
    SDL_FreeSurface(copy);
    return true;
}

uint32_t SdlViewerWindowId() {
    return viewer.window != nullptr ? SDL_GetWindowID(viewer.window) : 0;
}
