// Editing the text of Notes.
#include "shell/notes_document.h"

#include <algorithm>

#include "controls/edit_text.h"

namespace {

const std::u16string lineBreak = u"\r\n";

} // namespace

void TypeCharacter(NotesDocument &document, char16_t character) {
    std::u16string &text = document.text;
    document.caret = std::min(document.caret, text.size());
    if (character == u'\b') {
        const EditSelection taken =
            BackspaceSpan(text, EditSelection{document.caret, document.caret});
        text.erase(taken.Low(), taken.High() - taken.Low());
        document.caret = taken.Low();
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
    const EditSelection taken = DeleteSpan(text, EditSelection{document.caret, document.caret});
    text.erase(taken.Low(), taken.High() - taken.Low());
}

void MoveCaretLeft(NotesDocument &document) {
    document.caret = PositionBefore(document.text, document.caret);
}

void MoveCaretRight(NotesDocument &document) {
    document.caret = PositionAfter(document.text, std::min(document.caret, document.text.size()));
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
