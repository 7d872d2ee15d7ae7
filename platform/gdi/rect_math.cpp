// Rectangle arithmetic. Sums wrap as 32-bit integers do on Windows rather than overflowing.
#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace {

LONG Add(LONG a, int b) {
    return static_cast<LONG>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

bool Empty(const RECT &rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

} // namespace

extern "C" BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

extern "C" BOOL WINAPI SetRectEmpty(LPRECT rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

extern "C" BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) {
        return FALSE;
    }
    *rect =
        RECT{Add(rect->left, dx), Add(rect->top, dy), Add(rect->right, dx), Add(rect->bottom, dy)};
    return TRUE;
}

extern "C" BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy) {
    if (rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{Add(rect->left, static_cast<int>(0u - static_cast<uint32_t>(dx))),
                 Add(rect->top, static_cast<int>(0u - static_cast<uint32_t>(dy))),
                 Add(rect->right, dx), Add(rect->bottom, dy)};
    return TRUE;
}

extern "C" BOOL WINAPI IntersectRect(LPRECT result, const RECT *a, const RECT *b) {
    if (result == nullptr || a == nullptr || b == nullptr) {
        return FALSE;
    }
    const RECT overlap{std::max(a->left, b->left), std::max(a->top, b->top),
                       std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    if (Empty(*a) || Empty(*b) || Empty(overlap)) {
        *result = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *result = overlap;
    return TRUE;
}

extern "C" BOOL WINAPI UnionRect(LPRECT result, const RECT *a, const RECT *b) {
    if (result == nullptr || a == nullptr || b == nullptr) {
        return FALSE;
    }
    // An empty rectangle adds nothing to the union.
    if (Empty(*a) && Empty(*b)) {
        *result = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (Empty(*a)) {
        *result = *b;
    } else if (Empty(*b)) {
        *result = *a;
    } else {
        *result = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                       std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

// Only a rectangle that takes a whole side off the other shrinks it; anything else leaves it whole,
// as a rectangle cannot hold the rest.
extern "C" BOOL WINAPI SubtractRect(LPRECT result, const RECT *from, const RECT *taken) {
    if (result == nullptr || from == nullptr || taken == nullptr) {
        return FALSE;
    }
    RECT rest = *from;
    RECT overlap;
    if (!Empty(*from) && IntersectRect(&overlap, from, taken)) {
        const bool fullWidth = overlap.left == from->left && overlap.right == from->right;
        const bool fullHeight = overlap.top == from->top && overlap.bottom == from->bottom;
        if (fullWidth && fullHeight) {
            rest = RECT{0, 0, 0, 0};
        } else if (fullWidth && overlap.top == from->top) {
            rest.top = overlap.bottom;
        } else if (fullWidth && overlap.bottom == from->bottom) {
            rest.bottom = overlap.top;
        } else if (fullHeight && overlap.left == from->left) {
            rest.left = overlap.right;
        } else if (fullHeight && overlap.right == from->right) {
            rest.right = overlap.left;
        }
    }
    *result = rest;
    return !Empty(rest);
}

extern "C" BOOL WINAPI PtInRect(const RECT *rect, POINT point) {
    return rect != nullptr && point.x >= rect->left && point.x < rect->right &&
           point.y >= rect->top && point.y < rect->bottom;
}

extern "C" BOOL WINAPI IsRectEmpty(const RECT *rect) {
    return rect == nullptr || Empty(*rect);
}

extern "C" BOOL WINAPI EqualRect(const RECT *a, const RECT *b) {
    return a != nullptr && b != nullptr && a->left == b->left && a->top == b->top &&
           a->right == b->right && a->bottom == b->bottom;
}
