// Text conversions the platform itself needs: host names are UTF-8, the W functions speak UTF-16
// and the A functions the ANSI code page.
#ifndef PLATFORM_KERNEL_CODE_PAGES_H
#define PLATFORM_KERNEL_CODE_PAGES_H

#include <string>
#include <string_view>

// Invalid sequences become U+FFFD.
std::u16string WideFromUtf8(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::u16string_view text);
std::u16string WideFromAnsi(std::string_view text);
// Characters the ANSI code page lacks become '?'.
std::string AnsiFromWide(std::u16string_view text);

#endif
