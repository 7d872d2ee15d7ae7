#include "controls/edit_lines.h"

#include <algorithm>

#include "controls/edit_text.h"

namespace {

// Characters measured at once for a wrapped line: a line of the wrap width holds fewer unless
// its characters have no width.
size_t MeasuredAtMost(int wrapWidth) {
    return std::max<size_t>(static_cast<size_t>(wrapWidth) * 2, 256);
}

// The units of the character at the position: two for a surrogate pair.
size_t CharacterUnits(const std::u16string &text, size_t position) {
    const bool pair = position + 1 < text.size() && text[position] >= 0xD800 &&
                      text[position] < 0xDC00 && text[position + 1] >= 0xDC00 &&
                      text[position + 1] < 0xE000;
    return pair ? 2 : 1;
}

// How many of the line's first units fit the width; at least its first character.
size_t FittingCount(HDC dc, const std::u16string &text, size_t start, size_t count, int width) {
    const size_t measured = std::min(count, MeasuredAtMost(width));
    INT fit = 0;
    SIZE size = {};
    if (!GetTextExtentExPointW(dc, text.c_str() + start, static_cast<int>(measured), width, &fit,
                               nullptr, &size)) {
        return count;
    }
    const size_t fitting = std::min(static_cast<size_t>(std::max(fit, 0)), measured);
    return fitting > 0 ? fitting : std::min(CharacterUnits(text, start), count);
}

// Where a line too wide for the width breaks: after the last space that still begins inside the
// width, with any spaces after it; inside the word when no space does.
size_t WrapPoint(const std::u16string &text, size_t start, size_t count, size_t fitting) {
    size_t point = 0;
    for (size_t i = std::min(fitting + 1, count); i > 0; --i) {
        if (text[start + i - 1] == u' ') {
            point = i;
            break;
        }
    }
    if (point == 0) {
        return fitting;
    }
    while (point < count && text[start + point] == u' ') {
        ++point;
    }
    return point;
}

} // namespace

int TextWidth(HDC dc, const std::u16string &text, size_t start, size_t count) {
    if (count == 0 || start >= text.size()) {
        return 0;
    }
    count = std::min(count, text.size() - start);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(count), &size);
    return size.cx;
}

std::vector<EditLine> LayOutEditLines(HDC dc, const std::u16string &text, bool multiLine,
                                      int wrapWidth) {
    std::vector<EditLine> lines;
    if (!multiLine) {
        lines.push_back({0, text.size(), text.size(), TextWidth(dc, text, 0, text.size())});
        return lines;
    }
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < text.size() && !LineEndAt(text, end)) {
            ++end;
        }
        // The paragraph from start to end is laid out in as many lines as it takes.
        size_t from = start;
        while (wrapWidth > 0 && end - from > 1) {
            const size_t count = end - from;
            const size_t fitting = FittingCount(dc, text, from, count, wrapWidth);
            if (fitting >= count) {
                break;
            }
            const size_t length = WrapPoint(text, from, count, fitting);
            if (length >= count) {
                break;
            }
            lines.push_back({from, length, from + length, TextWidth(dc, text, from, length)});
            from += length;
        }
        const bool lastLine = end >= text.size();
        const size_t next = lastLine ? text.size() : end + 2;
        lines.push_back({from, end - from, next, TextWidth(dc, text, from, end - from)});
        if (lastLine) {
            return lines;
        }
        start = next;
    }
}

size_t LineOfPosition(const std::vector<EditLine> &lines, size_t position) {
    // The last line that starts at or before the position.
    auto after = std::upper_bound(lines.begin(), lines.end(), position,
                                  [](size_t at, const EditLine &line) { return at < line.start; });
    return after == lines.begin() ? 0 : static_cast<size_t>(after - lines.begin()) - 1;
}
