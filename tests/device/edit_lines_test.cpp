// Laying out an edit control's lines again after a change gives the lines a whole new layout
// gives, for changes anywhere: at wraps, at line ends, across paragraphs, at the ends.
#include <gtest/gtest.h>

#include "controls/edit_lines.h"
#include "kernel/scheduler.h"

#include <random>
#include <string>
#include <vector>

namespace {

bool SameLines(const std::vector<EditLine> &a, const std::vector<EditLine> &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].start != b[i].start || a[i].length != b[i].length || a[i].next != b[i].next ||
            a[i].width != b[i].width) {
            return false;
        }
    }
    return true;
}

class EditLines : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
    }
    void TearDown() override {
        DeleteDC(dc);
        PowerOffMachine(CurrentMachine());
    }
    // Replaces count characters at the position and checks the new lines against a whole layout.
    void Change(std::u16string &text, size_t at, size_t count, const std::u16string &insert,
                int wrapWidth) {
        const std::vector<EditLine> before = LayOutEditLines(dc, text, true, wrapWidth);
        text.replace(at, count, insert);
        const std::vector<EditLine> whole = LayOutEditLines(dc, text, true, wrapWidth);
        const std::vector<EditLine> relaid =
            RelayOutEditLines(dc, text, wrapWidth, before, at, count, insert.size());
        ASSERT_TRUE(SameLines(relaid, whole))
            << "after replacing " << count << " at " << at << " with " << insert.size();
    }
    HDC dc = nullptr;
};

TEST_F(EditLines, ChangesAtWrapsLineEndsAndTheEndsGiveTheWholeLayout) {
    std::u16string text = u"The quick brown fox jumps over the lazy dog\r\nand a second paragraph "
                          u"that wraps too\r\n\r\nlast";
    for (int width : {0, 40, 60, 100}) {
        std::u16string copy = text;
        Change(copy, 0, 0, u"x", width);                 // at the start
        Change(copy, copy.size(), 0, u" end", width);    // at the end
        Change(copy, 10, 0, u" ", width);                // a new wrap chance
        Change(copy, 20, 3, u"", width);                 // removal inside a line
        Change(copy, copy.find(u"\r\n"), 2, u"", width); // two paragraphs become one
        Change(copy, 5, 0, u"\r\n", width);              // one becomes two
        Change(copy, 0, copy.size(), u"", width);        // everything goes
        Change(copy, 0, 0, u"again", width);             // into nothing
    }
}

// Random texts of words, spaces and line ends, changed at random places, in several widths.
TEST_F(EditLines, RandomChangesGiveTheWholeLayout) {
    std::mt19937 random(20261208);
    const std::u16string pieces[] = {u"a", u"word", u" ", u"  ", u"\r\n", u"longerword", u"x"};
    for (int round = 0; round < 60; ++round) {
        std::u16string text;
        for (int i = 0; i < 60; ++i) {
            text += pieces[random() % 7];
        }
        const int width = static_cast<int>(random() % 90);
        for (int edit = 0; edit < 20; ++edit) {
            const size_t at = random() % (text.size() + 1);
            const size_t count = std::min<size_t>(random() % 6, text.size() - at);
            // A line end is never split by a change.
            if ((at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n') ||
                (at + count > 0 && at + count < text.size() && text[at + count - 1] == u'\r' &&
                 text[at + count] == u'\n')) {
                continue;
            }
            ASSERT_NO_FATAL_FAILURE(Change(text, at, count, pieces[random() % 7], width));
        }
    }
}

TEST_F(EditLines, LinesOfAnotherTextAreLaidOutAnew) {
    const std::u16string text = u"some words to wrap around";
    const std::vector<EditLine> stale = LayOutEditLines(dc, u"other", true, 40);
    const std::vector<EditLine> relaid = RelayOutEditLines(dc, text, 40, stale, 0, 0, 1);
    EXPECT_TRUE(SameLines(relaid, LayOutEditLines(dc, text, true, 40)));
}

} // namespace
