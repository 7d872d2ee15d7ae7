// A memory device context with a fresh colour bitmap selected, for drawing tests.
#ifndef TESTS_PLATFORM_GDI_CANVAS_H
#define TESTS_PLATFORM_GDI_CANVAS_H

#include "gdi/gdi_objects.h"

#include <windows.h>

class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
        previous_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all{0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    HDC Dc() const {
        return dc_;
    }
    HBITMAP Bitmap() const {
        return bitmap_;
    }
    // The pixels as stored: 0x00RRGGBB.
    const Surface &Pixels() const {
        return *FindGdiObjectAs<BitmapObject>(bitmap_);
    }

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

#endif
