// Points, sizes and rectangles, shared by windows, messages and drawing.
#ifndef PLATFORM_WINDEF_H
#define PLATFORM_WINDEF_H

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

// Right and bottom edges are exclusive.
typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT *LPCRECT;

#endif
