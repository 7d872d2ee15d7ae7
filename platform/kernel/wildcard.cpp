// Windows file name wildcards.
#include "kernel/wildcard.h"

#include <windows.h>

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// The UTF-16 units of the character starting at i: a surrogate pair is one character.
size_t CharacterLength(std::u16string_view text, size_t i) {
    return IsHighSurrogate(text[i]) && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF
               ? 2
               : 1;
}

// Classic glob matching with one backtrack point: the most recent '*'.
bool Glob(std::u16string_view pattern, std::u16string_view name) {
    size_t p = 0;
    size_t n = 0;
    size_t starPattern = std::u16string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == u'?') {
            // Before a dot, as at the end of the name, "?" may stand for no character at all.
            ++p;
            if (name[n] != u'.') {
                n += CharacterLength(name, n);
            }
        } else if (p < pattern.size() && towupper(pattern[p]) == towupper(name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::u16string_view::npos) {
            p = starPattern;
            starName += CharacterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == u'*' || pattern[p] == u'?')) {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
    if (Glob(pattern, name)) {
        return true;
    }
    const bool noDot = name.find(u'.') == std::u16string_view::npos;
    // "name.*" also stands for the name without an extension.
    if (noDot && pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*") {
        return Glob(pattern.substr(0, pattern.size() - 2), name);
    }
    if (noDot && !pattern.empty() && pattern.back() == u'.') {
        return Glob(pattern.substr(0, pattern.size() - 1), name);
    }
    return false;
}
