// An edit control's view: where its lines go in the window, what shows, and drawing it.
#ifndef PLATFORM_CONTROLS_EDIT_VIEW_H
#define PLATFORM_CONTROLS_EDIT_VIEW_H

#include "controls/edit.h"

// The text (the window's own) and the styles.
std::u16string &EditTextOf(const Edit &edit);
DWORD EditStyleOf(const Edit &edit);
bool IsMultiLineEdit(const Edit &edit);

// The rectangle the lines show in, inside the client area's margins.
RECT EditFormatRect(const Edit &edit);
// How many whole lines it shows; at least one.
int VisibleEditLines(const Edit &edit);
// The text, or what stands for it in a password control, laid out again for the font and size.
void LayOutEdit(Edit &edit);
// The same after inserted characters took the place of removed ones at changeAt: a multi-line
// control lays out again only the lines the change touched, so that typing into a long text
// costs what the lines around the caret cost.
void LayOutEditAfterChange(Edit &edit, size_t changeAt, size_t removed, size_t inserted);
// Scrolls as little as it takes to show the caret: by lines, and sideways to a third of the
// width short of the side it passed, as Windows does.
void ScrollEditToCaret(Edit &edit);
// Scrolls the lines so that the line given comes first, as far as there are lines to show.
void ScrollEditToLine(Edit &edit, int line);
// The character boundary nearest a point of the client area, or nearest a place across a line.
size_t EditPositionAt(const Edit &edit, POINT point);
size_t EditPositionInLine(const Edit &edit, size_t line, int x);
// Where a position shows in the client area: the top left of its caret.
POINT EditCaretPoint(const Edit &edit, size_t position);
void PaintEdit(Edit &edit);

#endif
