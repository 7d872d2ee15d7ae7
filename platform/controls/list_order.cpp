// Sort weights in the manner of Windows' sorting tables: a primary weight per character (its
// kind, then its base letter), a diacritic weight, and the word-sort characters that are weighed
// only when everything else is equal.
#include "controls/list_order.h"

#include <algorithm>
#include <vector>

namespace {

enum class Kind { Ignored, Punctuation, Digit, Letter, Other };

struct Weight {
    Kind kind = Kind::Other;
    char32_t primary = 0;
    int diacritic = 0;
};

// Latin-1 and Latin Extended-A letters that are a base letter with one mark: the base letter
// and the mark's rank (acute 1, grave 2, circumflex 3, diaeresis 4, tilde 5, ring 6, cedilla 7,
// caron 8, stroke 9, other 10).
struct Accented {
    char16_t character;
    char base;
    int mark;
};

const Accented accentedLetters[] = {
    {u'à', 'a', 2},  {u'á', 'a', 1},  {u'â', 'a', 3},  {u'ã', 'a', 5},  {u'ä', 'a', 4},
    {u'å', 'a', 6},  {u'ç', 'c', 7},  {u'è', 'e', 2},  {u'é', 'e', 1},  {u'ê', 'e', 3},
    {u'ë', 'e', 4},  {u'ì', 'i', 2},  {u'í', 'i', 1},  {u'î', 'i', 3},  {u'ï', 'i', 4},
    {u'ñ', 'n', 5},  {u'ò', 'o', 2},  {u'ó', 'o', 1},  {u'ô', 'o', 3},  {u'õ', 'o', 5},
    {u'ö', 'o', 4},  {u'ø', 'o', 9},  {u'ù', 'u', 2},  {u'ú', 'u', 1},  {u'û', 'u', 3},
    {u'ü', 'u', 4},  {u'ý', 'y', 1},  {u'ÿ', 'y', 4},  {u'ā', 'a', 10}, {u'ă', 'a', 10},
    {u'ą', 'a', 10}, {u'ć', 'c', 1},  {u'č', 'c', 8},  {u'ď', 'd', 8},  {u'đ', 'd', 9},
    {u'ē', 'e', 10}, {u'ę', 'e', 10}, {u'ě', 'e', 8},  {u'ğ', 'g', 10}, {u'ī', 'i', 10},
    {u'ł', 'l', 9},  {u'ń', 'n', 1},  {u'ň', 'n', 8},  {u'ō', 'o', 10}, {u'ő', 'o', 10},
    {u'ř', 'r', 8},  {u'ś', 's', 1},  {u'ş', 's', 7},  {u'š', 's', 8},  {u'ť', 't', 8},
    {u'ū', 'u', 10}, {u'ů', 'u', 6},  {u'ű', 'u', 10}, {u'ź', 'z', 1},  {u'ż', 'z', 10},
    {u'ž', 'z', 8},
};

// Lower case for the Latin letters whatever the host's locale says.
char16_t Lower(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    const bool evenUpper =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) {
        return static_cast<char16_t>(c + 1);
    }
    if (c == 0x178) {
        return 0xFF;
    }
    return c;
}

Weight WeightOf(char16_t character) {
    const char16_t lower = Lower(character);
    // Word sort: hyphens and apostrophes weigh nothing until the end.
    if (lower == u'-' || lower == u'\'' || lower == 0x2010 || lower == 0x2019 || lower == 0xAD) {
        return {Kind::Ignored, lower, 0};
    }
    if (lower >= u'0' && lower <= u'9') {
        return {Kind::Digit, lower, 0};
    }
    if (lower >= u'a' && lower <= u'z') {
        return {Kind::Letter, lower, 0};
    }
    for (const Accented &accented : accentedLetters) {
        if (accented.character == lower) {
            return {Kind::Letter, static_cast<char32_t>(accented.base), accented.mark};
        }
    }
    if (lower < 0x80 || (lower >= 0xA0 && lower < 0xC0) || lower == 0xD7 || lower == 0xF7) {
        return {Kind::Punctuation, lower, 0};
    }
    // Letters of other scripts and anything else: after the Latin letters, by code.
    return {Kind::Other, lower, 0};
}

// German ß sorts as "ss", æ as "ae", œ as "oe", as Windows expands them.
std::u16string Expanded(const std::u16string &text) {
    std::u16string expanded;
    expanded.reserve(text.size());
    for (char16_t character : text) {
        switch (Lower(character)) {
        case u'ß':
            expanded += u"ss";
            break;
        case u'æ':
            expanded += u"ae";
            break;
        case u'œ':
            expanded += u"oe";
            break;
        default:
            expanded += character;
        }
    }
    return expanded;
}

struct SortKey {
    std::vector<std::pair<int, char32_t>> primary; // kind, weight
    std::vector<int> diacritics;
    std::vector<std::pair<size_t, char16_t>> special; // where, which
};

SortKey KeyOf(const std::u16string &text) {
    SortKey key;
    const std::u16string expanded = Expanded(text);
    for (size_t i = 0; i < expanded.size(); ++i) {
        const Weight weight = WeightOf(expanded[i]);
        if (weight.kind == Kind::Ignored) {
            key.special.push_back({i, static_cast<char16_t>(weight.primary)});
            continue;
        }
        key.primary.push_back({static_cast<int>(weight.kind), weight.primary});
        key.diacritics.push_back(weight.diacritic);
    }
    return key;
}

template <class T> int CompareSequences(const std::vector<T> &a, const std::vector<T> &b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        if (a[i] < b[i]) {
            return -1;
        }
        if (b[i] < a[i]) {
            return 1;
        }
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

} // namespace

int CompareListTexts(const std::u16string &a, const std::u16string &b) {
    const SortKey left = KeyOf(a);
    const SortKey right = KeyOf(b);
    if (const int primary = CompareSequences(left.primary, right.primary)) {
        return primary;
    }
    if (const int diacritics = CompareSequences(left.diacritics, right.diacritics)) {
        return diacritics;
    }
    return CompareSequences(left.special, right.special);
}
