// The icon table behind HICON values. Icons are not GDI objects: DeleteObject, GetObject and
// SelectObject refuse them, and their handles (3 modulo 4) pass for no other kind. Handles are
// never reused and are validated on every call.
#ifndef PLATFORM_GDI_ICONS_H
#define PLATFORM_GDI_ICONS_H

#include <windows.h>

#include "engine/icon_files.h"

#include <memory>

struct IconObject {
    IconImage image;
    // Loaded for anybody who asks for it again (LoadIcon, LR_SHARED): DestroyIcon leaves it be.
    bool shared = false;
};

HICON AddIcon(IconImage image, bool shared = false);

// The icon behind handle, or null with ERROR_INVALID_CURSOR_HANDLE.
std::shared_ptr<const IconObject> FindIcon(HICON icon);

#endif
