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

namespace {

// The line that starts at from, a paragraph's start or where a line before it wrapped: as much of
// the paragraph as fits, or the rest of it; last says it is the text's last line. A line depends
// on the text from its start on, never on what lies before.
EditLine NextLine(HDC dc, const std::u16string &text, int wrapWidth, size_t from, bool &last) {
    size_t end = from;
    while (end < text.size() && !LineEndAt(text, end)) {
        ++end;
    }
    last = false;
    if (wrapWidth > 0 && end - from > 1) {
        const size_t count = end - from;
        const size_t fitting = FittingCount(dc, text, from, count, wrapWidth);
        const size_t length = fitting < count ? WrapPoint(text, from, count, fitting) : count;
        if (length < count) {
            return {from, length, from + length, TextWidth(dc, text, from, length)};
        }
    }
    last = end >= text.size();
    const size_t next = last ? text.size() : end + 2;
    return {from, end - from, next, TextWidth(dc, text, from, end - from)};
}

} // namespace

std::vector<EditLine> LayOutEditLines(HDC dc, const std::u16string &text, bool multiLine,
                                      int wrapWidth) {
    std::vector<EditLine> lines;
    if (!multiLine) {
        lines.push_back({0, text.size(), text.size(), TextWidth(dc, text, 0, text.size())});
        return lines;
    }
    bool last = false;
    for (size_t from = 0; !last; from = lines.back().next) {
        lines.push_back(NextLine(dc, text, wrapWidth, from, last));
    }
    return lines;
}

std::vector<EditLine> RelayOutEditLines(HDC dc, const std::u16string &text, int wrapWidth,
                                        const std::vector<EditLine> &old, size_t changeAt,
                                        size_t removed, size_t inserted) {
    // Lines that are not those of the text before the change are laid out anew.
    if (old.empty() || old.back().next + inserted != text.size() + removed ||
        changeAt > old.back().next) {
        return LayOutEditLines(dc, text, true, wrapWidth);
    }
    // A wrap may move with a change in the line after it: two lines back is where it is sure.
    size_t first = LineOfPosition(old, changeAt);
    first = first >= 2 ? first - 2 : 0;
    std::vector<EditLine> lines(old.begin(), old.begin() + static_cast<long>(first));
    const size_t oldChangeEnd = changeAt + removed;
    const size_t newChangeEnd = changeAt + inserted;
    size_t match = first;
    bool last = false;
    for (size_t from = old[first].start; !last;) {
        // Past the change, a line that starts where an old one did (moved by the change) is laid
        // out as that one was, and so is every line after it.
        if (from >= newChangeEnd) {
            const size_t oldFrom = from - inserted + removed;
            while (match < old.size() && old[match].start < oldFrom) {
                ++match;
            }
            if (match < old.size() && old[match].start == oldFrom && oldFrom >= oldChangeEnd) {
                for (size_t k = match; k < old.size(); ++k) {
                    EditLine moved = old[k];
                    moved.start = moved.start - removed + inserted;
                    moved.next = moved.next - removed + inserted;
                    lines.push_back(moved);
                }
                return lines;
            }
        }
        lines.push_back(NextLine(dc, text, wrapWidth, from, last));
        from = lines.back().next;
    }
    return lines;
}

size_t LineOfPosition(const std::vector<EditLine> &lines, size_t position) {
    // The last line that starts at or before the position.
    auto after = std::upper_bound(lines.begin(), lines.end(), position,
                                  [](size_t at, const EditLine &line) { return at < line.start; });
    return after == lines.begin() ? 0 : static_cast<size_t>(after - lines.begin()) - 1;
}
