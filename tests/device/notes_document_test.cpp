// Editing the Notes document: typing, line breaks, deleting and moving the caret.
#include <gtest/gtest.h>

#include "shell/notes_document.h"

namespace {

NotesDocument Typed(const std::u16string &keys) {
    NotesDocument document;
    for (char16_t key : keys)
        TypeCharacter(document, key);
    return document;
}

TEST(NotesDocument, TypingBreaksLinesAndBackspaceTakesAWholeBreak) {
    EXPECT_EQ(Typed(u"ab\rc").text, u"ab\r\nc");
    EXPECT_EQ(Typed(u"ab\rc\b\b").text, u"ab");
    EXPECT_EQ(Typed(u"\b\ba").text, u"a");
    // Control characters other than Tab, Return and Backspace are not text.
    EXPECT_EQ(Typed(u"a\x1B\x01\tb").text, u"a\tb");
}

TEST(NotesDocument, CaretNeverStandsInsideALineBreak) {
    NotesDocument document = Typed(u"ab\rcd");
    MoveCaretLeft(document);
    MoveCaretLeft(document);
    EXPECT_EQ(document.caret, 4u); // just after the break
    MoveCaretLeft(document);
    EXPECT_EQ(document.caret, 2u); // just before it
    DeleteForward(document);
    EXPECT_EQ(document.text, u"abcd");
    MoveCaretRight(document);
    TypeCharacter(document, u'X');
    EXPECT_EQ(document.text, u"abcXd");
    document.caret = 99;
    MoveCaretRight(document);
    DeleteForward(document);
    EXPECT_EQ(document.text, u"abcXd");
}

TEST(NotesDocument, UpAndDownKeepTheColumnWhereTheLineAllows) {
    NotesDocument document = Typed(u"hello\rhi\rworld");
    size_t column = 0;
    EXPECT_EQ(CaretLine(document, column), 2u);
    EXPECT_EQ(column, 5u);
    MoveCaretUp(document);
    EXPECT_EQ(CaretLine(document, column), 1u);
    EXPECT_EQ(column, 2u); // "hi" is shorter
    MoveCaretUp(document);
    MoveCaretUp(document);
    EXPECT_EQ(CaretLine(document, column), 0u);
    MoveCaretDown(document);
    MoveCaretDown(document);
    MoveCaretDown(document);
    EXPECT_EQ(CaretLine(document, column), 2u);
    EXPECT_EQ(SplitLines(document.text).size(), 3u);
    EXPECT_EQ(SplitLines(u"").size(), 1u);
}

} // namespace
