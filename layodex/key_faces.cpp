#include "face_context.h"
#include "layodex_internal.h"

// A face shows at most this many characters of its text.
#define FACE_TEXT_LIMIT 50

// A program's name is drawn in the grey of disabled text. The device names that system colour;
// the desktop passes the bare index, which it takes for a colour (nearly black).
#ifdef UNDER_CE
#define PROGRAM_TEXT_COLOR (SYS_COLOR_INDEX_FLAG | COLOR_GRAYTEXT)
#else
#define PROGRAM_TEXT_COLOR COLOR_GRAYTEXT
#endif

// A blank bitmap in the colour format of the face context.
static HBITMAP NewFaceBitmap(int width, int height) {
#ifdef UNDER_CE
    return CreateBitmap(width, height, (UINT)GetDeviceCaps(FaceDc, PLANES),
                        (UINT)GetDeviceCaps(FaceDc, BITSPIXEL), NULL);
#else
    return CreateCompatibleBitmap(FaceDc, width, height);
#endif
}

static UINT ExtractProgramIcon(const WCHAR *path, HICON *large, HICON *small) {
#ifdef UNDER_CE
    return ExtractIconExW(path, 0, large, small, 1);
#else
    char hostPath[MAX_PATH * 2];
    if (WideCharToMultiByte(CP_ACP, 0, path, -1, hostPath, sizeof hostPath, NULL, NULL) == 0)
        return 0;
    return ExtractIconExA(hostPath, 0, large, small, 1);
#endif
}

// Draws the program's icon at the top left corner at its own size, the small one where there is
// one; FALSE when the program has no icon.
static BOOL DrawProgramIcon(const WCHAR *path) {
    HICON large = NULL;
    HICON small = NULL;
    ExtractProgramIcon(path, &large, &small);
    HICON icon = small != NULL ? small : large;
    if (icon != NULL)
        DrawIconEx(FaceDc, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL);
    // The face keeps the pixels; the icons are not needed any more.
    if (large != NULL)
        DestroyIcon(large);
    if (small != NULL)
        DestroyIcon(small);
    return icon != NULL;
}

// A program is named by its file's base name without extension: the name is cut in place.
static WCHAR *ProgramName(WCHAR *path) {
    WCHAR *name = path;
    for (WCHAR *p = path; *p != 0; p++) {
        if (*p == '\\')
            name = p + 1;
    }
    for (WCHAR *p = name; *p != 0; p++) {
        if (*p == '.') {
            *p = 0;
            break;
        }
    }
    return name;
}

// The first character, then the one after the first space, or the second where there is none.
static int TwoInitials(const WCHAR *text, WCHAR *face) {
    const WCHAR *space = text;
    while (*space != 0 && *space != ' ')
        space++;
    face[0] = text[0];
    face[1] = *space == ' ' ? space[1] : text[1];
    face[2] = 0;
    return face[1] != 0 ? 2 : 1;
}

// What of text fits into width: all that fits when three or more characters do; two initials
// (of the first two words, or the first two letters of a single word) when two do; else the
// first character. The whole text when it cannot be measured.
static int ChooseFaceText(const WCHAR *text, int length, int width, WCHAR *face) {
    int fit = 0;
    SIZE size;
    if (!GetTextExtentExPointW(FaceDc, text, length, width, &fit, NULL, &size) || fit > length)
        fit = length; // shown whole
    else if (fit == 2)
        return TwoInitials(text, face);
    else if (fit < 2 && length > 0)
        fit = 1;
    lstrcpynW(face, text, fit + 1);
    return fit;
}

static void DrawFaceText(WCHAR *text, COLORREF color, int width, int height) {
    int length = lstrlenW(text);
    if (length > FACE_TEXT_LIMIT) {
        length = FACE_TEXT_LIMIT;
        text[length] = 0;
    }
    SetTextColor(FaceDc, color);
    SetBkColor(FaceDc, RGB(255, 255, 255));

    WCHAR face[FACE_TEXT_LIMIT + 1];
    int faceLength = ChooseFaceText(text, length, width, face);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(FaceDc, face, faceLength, &size);
    RECT box = {0, 0, width, height};
    ExtTextOutW(FaceDc, (width - size.cx) / 2, (height - size.cy) / 2, ETO_CLIPPED, &box, face,
                (UINT)faceLength, NULL);
}

static WCHAR *CopyOfText(const WCHAR *text) {
    if (text == NULL)
        text = WTEXT("");
    WCHAR *copy = (WCHAR *)LocalAlloc(LMEM_FIXED, (lstrlenW(text) + 1) * sizeof(WCHAR));
    if (copy != NULL)
        lstrcpyW(copy, text);
    return copy;
}

static void DrawFace(WCHAR *text, int style, int width, int height) {
    if (style == FACE_STYLE_TEXT) {
        DrawFaceText(text, RGB(0, 0, 0), width, height);
        return;
    }
    if (text[0] == 0 || DrawProgramIcon(text))
        return;
    DrawFaceText(ProgramName(text), PROGRAM_TEXT_COLOR, width, height);
}

// A key's face, on the white of the face context's brush; NULL without a face context, for an
// unknown style or a key too small to leave a box.
HBITMAP RenderKeyFace(const WCHAR *text, int style, INT keyWidth, INT keyHeight) {
    // The face leaves 2 pixels of the key free on every side; a key of 4 pixels or less has none.
    if (FaceDc == NULL || (style != FACE_STYLE_TEXT && style != FACE_STYLE_PROGRAM) ||
        keyWidth <= 4 || keyHeight <= 4)
        return NULL;
    const int width = keyWidth - 4;
    const int height = keyHeight - 4;
    HBITMAP bitmap = NewFaceBitmap(width, height);
    if (bitmap == NULL)
        return NULL;
    HGDIOBJ previous = SelectObject(FaceDc, bitmap);
    if (previous == NULL) {
        DeleteObject(bitmap);
        return NULL;
    }
    PatBlt(FaceDc, 0, 0, width, height, PATCOPY);
    WCHAR *copy = CopyOfText(text);
    if (copy != NULL) {
        DrawFace(copy, style, width, height);
        LocalFree(copy);
    }
    SelectObject(FaceDc, previous);
    return bitmap;
}
