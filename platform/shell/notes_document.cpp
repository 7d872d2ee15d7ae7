// Editing the text of Notes.
#include "shell/notes_document.h"

#include <algorithm>

namespace {

const std::u16string lineBreak = u"\r\n";

bool BreakAt(const std::u16string &text, size_t position) {
    return position + 2 <= text.size() && text.compare(position, 2, lineBreak) == 0;
}

} // namespace

void TypeCharacter(NotesDocument &document, char16_t character) {
    std::u16string &text = document.text;
    document.caret = std::min(document.caret, text.size());
    if (character == u'\b') {
        if (document.caret >= 2 && BreakAt(text, document.caret - 2)) {
            document.caret -= 2;
            text.erase(document.caret, 2);
        } else if (document.caret > 0) {
            text.erase(--document.caret, 1);
        }
        return;
    }
    if (character == u'\r') {
        text.insert(document.caret, lineBreak);
        document.caret += 2;
        return;
    }
    if (character < 0x20 && character != u'\t') {
        return;
    }
    text.insert(document.caret, 1, character);
    ++document.caret;
}

void DeleteForward(NotesDocument &document) {
    std::u16string &text = document.text;
    if (document.caret >= text.size()) {
        return;
    }
    text.erase(document.caret, BreakAt(text, document.caret) ? 2 : 1);
}

void MoveCaretLeft(NotesDocument &document) {
    document.caret = std::min(document.caret, document.text.size());
    if (document.caret >= 2 && BreakAt(document.text, document.caret - 2)) {
        document.caret -= 2;
    } else if (document.caret > 0) {
        --document.caret;
    }
}

void MoveCaretRight(NotesDocument &document) {
    document.caret = std::min(document.caret, document.text.size());
    if (BreakAt(document.text, document.caret)) {
        document.caret += 2;
    } else if (document.caret < document.text.size()) {
        ++document.caret;
    }
}

std::vector<NotesLine> SplitLines(const std::u16string &text) {
    std::vector<NotesLine> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(lineBreak, start);
        if (end == std::u16string::npos) {
            lines.push_back({start, text.substr(start)});
            return lines;
        }
        lines.push_back({start, text.substr(start, end - start)});
        start = end + 2;
    }
}

size_t CaretLine(const NotesDocument &document, size_t &column) {
    const std::vector<NotesLine> lines = SplitLines(document.text);
    size_t line = 0;
    while (line + 1 < lines.size() && lines[line + 1].start <= document.caret) {
        ++line;
    }
    column = std::min(document.caret - lines[line].start, lines[line].text.size());
    return line;
}

void PlaceCaret(NotesDocument &document, size_t line, size_t column) {
    const std::vector<NotesLine> lines = SplitLines(document.text);
    line = std::min(line, lines.size() - 1);
    document.caret = lines[line].start + std::min(column, lines[line].text.size());
}

void MoveCaretUp(NotesDocument &document) {
    size_t column = 0;
    const size_t line = CaretLine(document, column);
    if (line > 0) {
        PlaceCaret(document, line - 1, column);
    }
}

void MoveCaretDown(NotesDocument &document) {
    size_t column = 0;
    const size_t line = CaretLine(document, column);
    PlaceCaret(document, line + 1, column);
}
