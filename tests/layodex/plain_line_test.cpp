// The one-pass reader of plain key lines against the general reader: where it takes a line, it
// reads what the general reader reads; any other line it leaves alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "layodex_test_support.h"
#include "layout_reader.h"

namespace {

struct LineReadings {
    bool plainTook = false;
    bool agree = false;
};

bool SameField(const FieldValue &a, const FieldValue &b) {
    return a.start == b.start && a.length == b.length;
}

// Both readers from the start of text; they agree when the one-pass reader declines or reads the
// same line, to the same place, without a problem.
LineReadings ReadBoth(const std::u16string &text, size_t from = 0) {
    LayoutText layoutText;
    InitLayoutText(&layoutText, text.data(), text.size());
    LineReadings readings;
    KeyLine plain = {};
    const WCHAR *plainEnd = layoutText.start + from;
    readings.plainTook = ReadPlainKeyLine(&layoutText, &plainEnd, &plain);
    if (!readings.plainTook) {
        readings.agree = true;
        return readings;
    }
    KeyLine general = {};
    const WCHAR *generalEnd = layoutText.start + from;
    readings.agree = ReadKeyLine(&layoutText, &generalEnd, &general) == nullptr &&
                     plainEnd == generalEnd && plain.left == general.left &&
                     plain.top == general.top && plain.width == general.width &&
                     plain.height == general.height && plain.flags == general.flags &&
                     plain.code == general.code && plain.imageIndex == general.imageIndex &&
                     SameField(plain.target, general.target) &&
                     SameField(plain.targetSubName, general.targetSubName) &&
                     SameField(plain.picture, general.picture);
    return readings;
}

TEST(PlainKeyLines, TakesTheUsualLinesAsTheGeneralReaderReadsThem) {
    for (const char *line : {
             "0, 0, 16, 16, VIRTUAL|IMAGEINTERNAL, ESCAPE, 0, 110", "1,2,3,4,,A,0,0",
             "\t1 ,\t2 , 3\t, 4 , STICK|TOGGLE , a , 0 , 0 ", "-5, +6, 0, 0, 0, q, 0, 0",
             "1,2,3,4,MACRO,x,Hello world,0", "1,2,3,4,IMAGE,a,0,pictures\\a.bmp",
             "1,2,3,4,vIrTuAl,sHiFt,0,0", "1,2,3,4,,a,0,0,left over", "1,2,3,4,,a,0,0\nnext line",
             "1234567890123456789,-123456789012345678,3,4,,a,0,0", // 19 characters each
             "99999999999,-99999999999,3,4,,a,0,0",                // saturated
         }) {
        LineReadings readings = ReadBoth(FileText(line));
        EXPECT_TRUE(readings.plainTook) << line;
        EXPECT_TRUE(readings.agree) << line;
    }
}

TEST(PlainKeyLines, LeavesEveryOtherLineToTheGeneralReader) {
    for (const char *line : {
             "12345678901234567890,2,3,4,,a,0,0",   // a number of 20 characters
             "1,2,3,4,,\",\",0,0",                  // a quoted field
             "1,2,3,4,,a,\"English,Shift\",0",      // a quoted target
             "1,2,3,4,// a comment\n,a,0,0",        // a comment before a field
             "1,2,\n3,4,,a,0,0",                    // a line break before a field
             "1,2,3,4,,a,0\n,0",                    // a field ended by the line end
             "1,2,3,4,,a,0,\n0",                    // the last field on the next line
             "12 px,2,3,4,,a,0,0",                  // a number with a unit
             "1,2,3,4,VIRTUAL,F1,0,0",              // an unknown virtual-key name
             "1,2,3,4,NEWKEYBD,S,English Shift,0",  // a target without its sub-keyboard
             "1,2,3,4,,AB,0,0",                     // a code of two characters
             "1,2,3,4,STICK||TOGGLE,a,0,0",         // an empty flag between bars
             "1,2,3",                               // too few fields
             "1,2,3,4,,a,0,",                       // no last field before the end
             "\v1,2,3,4,,a,0,0",                    // another blank before a field
             "1,2,3,4,MACRO,x,\xE3\x80\x80Hello,0", // an ideographic space before a field
         }) {
        LineReadings readings = ReadBoth(FileText(line));
        EXPECT_FALSE(readings.plainTook) << line;
        EXPECT_TRUE(readings.agree) << line;
    }
}

TEST(PlainKeyLines, AgreeOnEveryLineOfTheShippedLayouts) {
    int lines = 0, taken = 0;
    for (const auto &entry : std::filesystem::directory_iterator(LAYODEX_LAYOUTS_DIRECTORY)) {
        if (entry.path().extension() != ".kbi")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::u16string text(bytes.size() / 2, u'\0');
        memcpy(text.data(), bytes.data(), text.size() * 2);
        for (size_t at = 0; at < text.size();) {
            size_t next = text.find(u'\n', at);
            next = next == std::u16string::npos ? text.size() : next + 1;
            if (text[at] != '[' && text[at] != '/' && text[at] != '\r') {
                LineReadings readings = ReadBoth(text, at);
                lines++;
                taken += readings.plainTook;
                EXPECT_TRUE(readings.agree) << entry.path() << " at " << at;
            }
            at = next;
        }
    }
    // The one-pass reader is there for these lines: nearly all of them are plain.
    EXPECT_GT(lines, 1000);
    EXPECT_GT(taken * 10, lines * 9);
}

} // namespace
