// String tables in their Windows form, as a .rc file compiles them: sixteen counted UTF-16
// strings in a row (a length word, then that many characters; a missing string counted 0).
#ifndef PLATFORM_KERNEL_STRING_TABLES_H
#define PLATFORM_KERNEL_STRING_TABLES_H

#include <cstddef>
#include <string>

// The string at index (0 to 15) of a table of size bytes; false when it is empty, or the table
// ends before it does.
bool ReadStringTableEntry(const unsigned char *table, size_t size, unsigned index,
                          std::u16string &text);

#endif
