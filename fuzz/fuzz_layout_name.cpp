// The name Setup shows for a layout file, from any head of a file: never beyond the name's array,
// and always a whole, non-empty name when one is given.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

#include "setup_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<WCHAR> head(size / sizeof(WCHAR) + 1, 0);
    memcpy(head.data(), data, size / sizeof(WCHAR) * sizeof(WCHAR));
    char name[216];
    memset(name, 0x55, sizeof name);
    if (LayoutNameOfHead(head.data(), name, sizeof name)) {
        const size_t length = strnlen(name, sizeof name);
        if (length == 0 || length == sizeof name)
            __builtin_trap();
    }
    return 0;
}
