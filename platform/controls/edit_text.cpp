#include "controls/edit_text.h"

bool LineEndAt(const std::u16string &text, size_t position) {
    return position + 1 < text.size() && text[position] == u'\r' && text[position + 1] == u'\n';
}

namespace {

bool PairAt(const std::u16string &text, size_t position) {
    return position + 1 < text.size() && text[position] >= 0xD800 && text[position] < 0xDC00 &&
           text[position + 1] >= 0xDC00 && text[position + 1] < 0xE000;
}

} // namespace

size_t PositionBefore(const std::u16string &text, size_t position) {
    position = std::min(position, text.size());
    if (position >= 2 && (LineEndAt(text, position - 2) || PairAt(text, position - 2))) {
        return position - 2;
    }
    return position > 0 ? position - 1 : 0;
}

size_t PositionAfter(const std::u16string &text, size_t position) {
    if (LineEndAt(text, position) || PairAt(text, position)) {
        return position + 2;
    }
    return std::min(position + 1, text.size());
}

EditSelection BackspaceSpan(const std::u16string &text, const EditSelection &selection) {
    if (!selection.Empty()) {
        return selection;
    }
    return EditSelection{PositionBefore(text, selection.caret), selection.caret};
}

EditSelection DeleteSpan(const std::u16string &text, const EditSelection &selection) {
    if (!selection.Empty()) {
        return selection;
    }
    return EditSelection{selection.caret, PositionAfter(text, selection.caret)};
}
