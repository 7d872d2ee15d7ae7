// Windows file name wildcards.
#ifndef PLATFORM_KERNEL_WILDCARD_H
#define PLATFORM_KERNEL_WILDCARD_H

#include <string_view>

// '*' matches any run of characters, '?' one character, letters match without regard to case.
// As on Windows, "*.*" matches names without a dot too, and a trailing '.' matches only names
// without one.
bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name);

#endif
