// Fonts selected for a scope, and where drawing landed, for the text tests.
#ifndef TESTS_PLATFORM_TEXT_HELPERS_H
#define TESTS_PLATFORM_TEXT_HELPERS_H

#include "engine/surface.h"

#include <windows.h>

#include <algorithm>

// A font created for the scope and selected into dc; the previous font is put back and the font
// deleted at the end.
class FontInDc {
  public:
    FontInDc(HDC dc, int height, int weight = FW_NORMAL, const WCHAR *face = u"Tahoma")
        : dc_(dc), font_(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, face)),
          previous_(SelectObject(dc, font_)) {}
    ~FontInDc() {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
    }
    FontInDc(const FontInDc &) = delete;
    FontInDc &operator=(const FontInDc &) = delete;

    HFONT Font() const {
        return font_;
    }

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

// The smallest box holding every pixel that is not background (empty when there is none).
inline Box ChangedBox(const Surface &surface, uint32_t background) {
    Box box{surface.width, surface.height, 0, 0};
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            if (surface.At(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box.Empty() ? Box{} : box;
}

// How many pixels have exactly that colour.
inline int CountPixels(const Surface &surface, uint32_t pixel) {
    int count = 0;
    for (uint32_t value : surface.pixels) {
        count += value == pixel ? 1 : 0;
    }
    return count;
}

inline SIZE Extent(HDC dc, const WCHAR *text) {
    SIZE size{-1, -1};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size;
}

#endif
