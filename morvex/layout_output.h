// Writing a converted layout into the current directory, named after its title.
#ifndef MORVEX_LAYOUT_OUTPUT_H
#define MORVEX_LAYOUT_OUTPUT_H

#include "layodex.h"

// What a layout file may hold.
#define OUTPUT_CAPACITY 2500000

// The file name for a title, in the current directory; FALSE, with an empty name, for a title that
// would name a file elsewhere or a device.
BOOL MakeOutputName(const char *title, char *name, int size);
// FALSE when nothing was written; an existing file of that name is then left as it was.
BOOL WriteLayoutFile(KeyboardLayout *layout, const char *name);

#endif
