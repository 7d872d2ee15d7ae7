#include "kernel/string_tables.h"

#include <cstdint>
#include <cstring>

bool ReadStringTableEntry(const unsigned char *table, size_t size, unsigned index,
                          std::u16string &text) {
    if (table == nullptr || index > 15) {
        return false;
    }
    size_t offset = 0;
    for (unsigned entry = 0;; ++entry) {
        uint16_t length = 0;
        if (size - offset < sizeof length) {
            return false;
        }
        std::memcpy(&length, table + offset, sizeof length);
        offset += sizeof length;
        if ((size - offset) / sizeof(char16_t) < length) {
            return false;
        }
        if (entry == index) {
            text.resize(length);
            std::memcpy(text.data(), table + offset, length * sizeof(char16_t));
            return length > 0;
        }
        offset += length * sizeof(char16_t);
    }
}
