// How an edit control's text falls into lines: at each "\r\n" and, when it wraps, after the last
// space that lets a line fit its width (inside a word too long for a line when there is none).
// A lone "\r" or "\n" breaks no line, as in the Windows edit control.
#ifndef PLATFORM_CONTROLS_EDIT_LINES_H
#define PLATFORM_CONTROLS_EDIT_LINES_H

#include <windows.h>

#include <string>
#include <vector>

struct EditLine {
    size_t start = 0;  // where the line begins in the text
    size_t length = 0; // its characters, without the line end
    size_t next = 0;   // where the line after it begins
    int width = 0;     // in pixels, in the DC's font
};

// The lines of the text in the font selected into the DC; a wrap width of 0 or less never wraps.
// A single-line control has one line whatever the text holds.
std::vector<EditLine> LayOutEditLines(HDC dc, const std::u16string &text, bool multiLine,
                                      int wrapWidth);

// The lines of a multi-line control's text after inserted characters took the place of removed
// ones at changeAt, from its lines before: only the lines the change touches are laid out again,
// the others moved. The same lines as LayOutEditLines gives.
std::vector<EditLine> RelayOutEditLines(HDC dc, const std::u16string &text, int wrapWidth,
                                        const std::vector<EditLine> &old, size_t changeAt,
                                        size_t removed, size_t inserted);

// The width of part of the text, in the DC's font.
int TextWidth(HDC dc, const std::u16string &text, size_t start, size_t count);

// The line that shows the position: a position where a line wraps shows at the start of the
// next one.
size_t LineOfPosition(const std::vector<EditLine> &lines, size_t position);

#endif
