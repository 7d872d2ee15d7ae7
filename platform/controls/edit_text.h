// The text of an edit control and its selection. Lines end in "\r\n"; a step or a deletion over
// a line end takes the pair as one, as Windows does, and so over a surrogate pair.
#ifndef PLATFORM_CONTROLS_EDIT_TEXT_H
#define PLATFORM_CONTROLS_EDIT_TEXT_H

#include <algorithm>
#include <cstddef>
#include <string>

// The anchor stays where the selection began; the caret is its other end.
struct EditSelection {
    size_t anchor = 0;
    size_t caret = 0;

    size_t Low() const {
        return std::min(anchor, caret);
    }
    size_t High() const {
        return std::max(anchor, caret);
    }
    bool Empty() const {
        return anchor == caret;
    }
};

// A line end starts at the position.
bool LineEndAt(const std::u16string &text, size_t position);
// The position one character before or after, over a line end or a surrogate pair whole.
size_t PositionBefore(const std::u16string &text, size_t position);
size_t PositionAfter(const std::u16string &text, size_t position);

// What Backspace or Delete takes away: the selection, or the character (or line end) before or
// after the caret. An empty selection when there is nothing to take.
EditSelection BackspaceSpan(const std::u16string &text, const EditSelection &selection);
EditSelection DeleteSpan(const std::u16string &text, const EditSelection &selection);

#endif
