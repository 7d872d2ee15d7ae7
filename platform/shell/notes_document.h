// The text Notes edits, with its caret: lines end in "\r\n", as in a Windows edit control, and the
// caret never stands between the two.
#ifndef PLATFORM_SHELL_NOTES_DOCUMENT_H
#define PLATFORM_SHELL_NOTES_DOCUMENT_H

#include <cstddef>
#include <string>
#include <vector>

struct NotesDocument {
    std::u16string text;
    size_t caret = 0;
};

// A typed character: Return breaks the line, Backspace takes the character before the caret;
// other control characters are ignored.
void TypeCharacter(NotesDocument &document, char16_t character);
void DeleteForward(NotesDocument &document);
void MoveCaretLeft(NotesDocument &document);
void MoveCaretRight(NotesDocument &document);
void MoveCaretUp(NotesDocument &document);
void MoveCaretDown(NotesDocument &document);

// The lines of the text without their breaks, and where each begins in it.
struct NotesLine {
    size_t start;
    std::u16string text;
};
std::vector<NotesLine> SplitLines(const std::u16string &text);
// The line the caret is on and its column there.
size_t CaretLine(const NotesDocument &document, size_t &column);
void PlaceCaret(NotesDocument &document, size_t line, size_t column);

#endif
