// Icons made from .ico files, from resources holding one, and the built-in ones.
#ifndef PLATFORM_GDI_ICON_LOADING_H
#define PLATFORM_GDI_ICON_LOADING_H

#include <windows.h>

#include <cstddef>

// The most bytes an .ico file may have.
const size_t maxIconFileBytes = size_t(16) << 20;

// An icon from the bytes of a whole .ico file: the image nearest width x height (the system
// icon size for a side of 0), stretched to that size (its own for a side of 0). Null with
// ERROR_FILE_INVALID when the bytes do not decode, ERROR_INVALID_PARAMETER for a negative side and
// ERROR_NOT_ENOUGH_MEMORY for one too large. A shared icon is made once for equal bytes and size.
HICON IconFromFileBytes(const unsigned char *data, size_t size, int width, int height, bool shared);

// LoadImage's icons: from an RT_GROUP_ICON resource of instance, a built-in one for a NULL
// instance, or with LR_LOADFROMFILE from the .ico file name (a host path). A side of 0 is the
// system icon size with LR_DEFAULTSIZE and the image's own without.
HICON LoadIconImage(HINSTANCE instance, LPCWSTR name, int width, int height, UINT flags);
HICON LoadIconImageFile(HANDLE file, int width, int height, UINT flags);

#endif
