#include <stdio.h>
#include <string.h>

#include "layout_output.h"
#include "legacy_layout.h"

// Names Windows keeps for devices, whatever extension follows them; the superscript digits are
// those of code page 1252, in which the desktop's file names are made.
static const char *const DeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",     "CONIN$",  "CONOUT$",
                                          "COM1", "COM2", "COM3", "COM4",    "COM5",    "COM6",
                                          "COM7", "COM8", "COM9", "COM\xB9", "COM\xB2", "COM\xB3",
                                          "LPT1", "LPT2", "LPT3", "LPT4",    "LPT5",    "LPT6",
                                          "LPT7", "LPT8", "LPT9", "LPT\xB9", "LPT\xB2", "LPT\xB3"};

static BOOL IsDeviceName(const char *name) {
    size_t stem = strcspn(name, ".");
    while (stem > 0 && (name[stem - 1] == ' ' || name[stem - 1] == '\t'))
        stem--;
    for (size_t i = 0; i < sizeof DeviceNames / sizeof DeviceNames[0]; i++) {
        if (strlen(DeviceNames[i]) == stem && _strnicmp(name, DeviceNames[i], stem) == 0)
            return TRUE;
    }
    return FALSE;
}

static BOOL IsOnlyDots(const char *text) {
    size_t start = strspn(text, " \t");
    size_t dots = strspn(text + start, ".");
    return dots > 0 && text[start + dots + strspn(text + start + dots, " \t")] == 0;
}

// A title is text from the file, not a path: it must not lead out of the current directory, onto
// a drive or onto a device.
static BOOL CanNameLocalFile(const char *title) {
    if (strpbrk(title, "/\\") != NULL || strstr(title, "..") != NULL || IsOnlyDots(title))
        return FALSE;
    size_t start = strspn(title, " \t");
    BOOL drive =
        ((title[start] | 0x20) >= 'a' && (title[start] | 0x20) <= 'z') && title[start + 1] == ':';
    return !drive;
}

BOOL MakeOutputName(const char *title, char *name, int size) {
    name[0] = 0;
    if (!CanNameLocalFile(title))
        return FALSE;
    snprintf(name, size, "%s.kbi", title);
    RemoveChars(name, ":*?@\\&");
    TrimBlanks(name);
    if (IsDeviceName(name)) {
        name[0] = 0;
        return FALSE;
    }
    return TRUE;
}
