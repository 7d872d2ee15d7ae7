// GetDC, GetWindowDC and ReleaseDC, and keeping a window DC in step with its window.
#include "user/window_dcs.h"

#include "gdi/device_contexts.h"
#include "user/screen.h"

namespace {

HDC MakeScreenDc(HWND window, bool wholeWindow) {
    auto context = std::make_shared<DcObject>();
    context->memory = false;
    context->surface = ScreenSurface();
    context->window = window;
    context->wholeWindow = wholeWindow;
    const HDC dc = static_cast<HDC>(AddGdiObject(context));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, SystemFont());
    return dc;
}

} // namespace

HDC CreateWindowDc(HWND handle, bool wholeWindow) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return MakeScreenDc(window == RootWindow() ? nullptr : handle, wholeWindow);
}

void LimitWindowDc(HDC dc, const RECT &client) {
    if (const std::shared_ptr<DcObject> context = FindDc(dc)) {
        context->limited = true;
        context->limit = Box{client.left, client.top, client.right, client.bottom};
        RefreshWindowDc(*context);
    }
}

void RefreshWindowDc(DcObject &context) {
    Window *window = FindWindowObject(context.window);
    context.windowBoxes.clear();
    if (window == nullptr) {
        context.clip = Box{};
        return;
    }
    const Box area = context.wholeWindow ? WindowBox(window) : ClientBox(window);
    context.originX = area.left;
    context.originY = area.top;
    context.clip = area;
    Box allowed = Intersect(area, context.surface->Bounds());
    if (context.limited) {
        allowed = Intersect(allowed,
                            Box{area.left + context.limit.left, area.top + context.limit.top,
                                area.left + context.limit.right, area.top + context.limit.bottom});
    }
    if (allowed.Empty() || !IsShown(window)) {
        return;
    }
    for (const Box &visible : VisibleBoxes(window)) {
        const Box piece = Intersect(visible, allowed);
        if (!piece.Empty()) {
            context.windowBoxes.push_back(piece);
        }
    }
}

extern "C" HDC WINAPI GetDC(HWND window) {
    return window == nullptr ? MakeScreenDc(nullptr, false) : CreateWindowDc(window, false);
}

extern "C" HDC WINAPI GetWindowDC(HWND window) {
    return window == nullptr ? MakeScreenDc(nullptr, false) : CreateWindowDc(window, true);
}

extern "C" int WINAPI ReleaseDC(HWND, HDC dc) {
    const std::shared_ptr<DcObject> context = FindGdiObjectAs<DcObject>(dc);
    if (!context || context->memory) {
        return 0;
    }
    return DeleteDC(dc) ? 1 : 0;
}
