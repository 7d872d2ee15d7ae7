// Legacy keyboard files of any shape, read as the converter reads them.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "legacy_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    LegacyLayout layout;
    memset(&layout, 0, sizeof layout);
    layout.codePage = 1252;
    ParseLegacyText(data, (DWORD)size, &layout);
    if (layout.deadKeyCount > MAX_DEAD_KEYS || strlen(layout.title) >= LEGACY_TITLE_SIZE)
        __builtin_trap();
    FreeLegacyLayout(&layout);
    return 0;
}
