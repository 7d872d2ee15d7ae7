// Real Windows: the system's windows.h, with the macros the project's platform adds to it.
#include_next <windows.h>

#ifndef WTEXT
#define WTEXT(quote) L##quote
#endif
