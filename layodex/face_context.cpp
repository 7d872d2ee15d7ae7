#include "face_context.h"

HDC FaceDc;
static HFONT FaceFont;
static HGDIOBJ FontBeforeFace;

// Face text size in points: the device's faces use a point more than the desktop's.
#ifdef UNDER_CE
#define FACE_FONT_POINTS 7
#else
#define FACE_FONT_POINTS 6
#endif

void CreateFaceContext(HDC hostDc) {
    if (FaceDc != NULL || hostDc == NULL)
        return;
    HDC dc = CreateCompatibleDC(hostDc);
    if (dc == NULL)
        return;
    LOGFONTW font = {};
    font.lfHeight = -(GetDeviceCaps(dc, LOGPIXELSY) * FACE_FONT_POINTS) / 72;
    font.lfWeight = FW_MEDIUM;
    lstrcpyW(font.lfFaceName, WTEXT("Tahoma"));
    HFONT created = CreateFontIndirectW(&font);
    if (created == NULL) {
        // Without its font there is nothing to draw faces with; a later call tries again.
        DeleteDC(dc);
        return;
    }
    FontBeforeFace = SelectObject(dc, created);
    FaceFont = created;
    FaceDc = dc;
}

void ReleaseFaceContext(void) {
    if (FaceDc == NULL)
        return;
    SelectObject(FaceDc, FontBeforeFace);
    DeleteObject(FaceFont);
    DeleteDC(FaceDc);
    FaceDc = NULL;
    FaceFont = NULL;
    FontBeforeFace = NULL;
}
