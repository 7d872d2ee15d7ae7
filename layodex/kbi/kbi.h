// kbi: list, show and check layout files.
#ifndef KBI_H
#define KBI_H

#include "layodex.h"

int ListCommand(const char *directory);
int ShowCommand(const char *name, const char *directory);
int CheckCommand(const char *fileName);

// Output of UTF-16 text on the 8-bit console, as UTF-8.
void PrintWide(const WCHAR *text);
void PrintWideRange(const WCHAR *text, int length);
BOOL UseDirectory(const char *directory);

#endif
