// How long a layout file's text is kept, and a file that changes between the listing and the
// reading of its text, within one call.
#include <gtest/gtest.h>

#include "layodex_internal.h"
#include "layodex_test_support.h"
#include "layout_scan.h"

namespace {

std::string SectionNames(const ScannedFile *file) {
    std::string names;
    for (int i = 0; i < file->sectionCount; i++)
        names += Utf8(file->sections[i].name) + ";";
    return names;
}

// A call that lists the folder and wants nothing from it.
void ListOnly() {
    ScanLayoutFiles();
    EndLayoutScan();
}

TEST(LayoutScan, TheListingsTextIsKeptThroughTheNextCallOnly) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n");
    ASSERT_EQ(SetSearchDirectory(ToPath(directory.Path()).c_str()), 1);
    ListOnly();
    ScannedFile *file = ScanLayoutFiles()[0];
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->textRead) << "the call after the listing finds the text read";
    EndLayoutScan();
    EXPECT_FALSE(ScanLayoutFiles()[0]->textRead) << "no keys were read in that call";
    EndLayoutScan();
    ForgetLayoutFiles();
}

// Files of the given sizes in bytes, each a valid layout padded with a comment.
void WritePaddedLayouts(const TemporaryDirectory &directory, const std::vector<size_t> &sizes) {
    for (size_t i = 0; i < sizes.size(); i++) {
        std::string text = "[L" + std::to_string(i) + ",l,Main,1]\n0,0,1,1,,a,0,0\n//";
        // Each line end is written as two characters.
        text += std::string(sizes[i] / 2 - 2 - text.size(), 'x');
        directory.WriteLayoutFile(std::string(1, (char)('a' + i)) + ".kbi", text);
    }
}

TEST(LayoutScan, TheListingKeepsItsTextsUpToTheLimitInAll) {
    const size_t half = LISTED_TEXTS_LIMIT / 2;
    for (size_t last : {half, half + 2}) {
        TemporaryDirectory directory;
        WritePaddedLayouts(directory, {half / 2, half / 2, last});
        ASSERT_EQ(SetSearchDirectory(ToPath(directory.Path()).c_str()), 1);
        ScannedFile **files = ScanLayoutFiles();
        ASSERT_NE(files[2], nullptr);
        EXPECT_EQ(files[2]->sectionCount, 1) << "its sections are found all the same";
        // Listing order decides: the files before it are kept either way.
        EXPECT_TRUE(files[0]->textRead && files[1]->textRead);
        EXPECT_EQ(files[2]->textRead, last == half) << last;
        EndLayoutScan();
        ForgetLayoutFiles();
    }
}

TEST(LayoutScan, ATextKeysWereReadFromIsKeptWhileTheFileIsUnchanged) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n");
    ASSERT_EQ(SetSearchDirectory(ToPath(directory.Path()).c_str()), 1);
    ListOnly();
    ScannedFile *file = ScanLayoutFiles()[0];
    ASSERT_NE(ReadScannedText(file), nullptr);
    Element *keys = ReadKeysOfSection(file, &file->sections[0]);
    ASSERT_NE(keys, nullptr);
    ReleaseUnresolvedKeyList(&keys);
    EndLayoutScan();
    ListOnly();
    ListOnly();
    EXPECT_TRUE(ScanLayoutFiles()[0]->textRead);
    EndLayoutScan();
    ForgetLayoutFiles();
}

TEST(LayoutScan, AFileChangedSinceItWasListedHasItsSectionsFoundAgain) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n");
    ASSERT_EQ(SetSearchDirectory(ToPath(directory.Path()).c_str()), 1);
    ListOnly();
    ListOnly();

    // Listed unchanged: the remembered sections stand, and the text is not read yet.
    ScannedFile *file = ScanLayoutFiles()[0];
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->textRead);
    EXPECT_EQ(SectionNames(file), "A;");
    directory.WriteLayoutFile("a.kbi", "[Longer,b,Main,1]\n0,0,1,1,,b,0,0\n[B,b,Main,1]\n");
    const LayoutText *text = ReadScannedText(file);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SectionNames(file), "Longer;B;");
    EXPECT_EQ(text->start[file->sections[0].keysOffset], '0');
    EndLayoutScan();

    // Remembered as changed, so the next call reads it again rather than trust its listing.
    file = ScanLayoutFiles()[0];
    EXPECT_TRUE(file->textRead);
    EXPECT_EQ(SectionNames(file), "Longer;B;");
    EndLayoutScan();
    ForgetLayoutFiles();
}

TEST(LayoutScan, AFileGoneBeforeItsTextIsReadGivesNoText) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n");
    ASSERT_EQ(SetSearchDirectory(ToPath(directory.Path()).c_str()), 1);
    ListOnly();
    ListOnly();
    ScannedFile *file = ScanLayoutFiles()[0];
    ASSERT_NE(file, nullptr);
    std::remove(directory.File("a.kbi").c_str());
    EXPECT_EQ(ReadScannedText(file), nullptr);
    EndLayoutScan();
    EXPECT_EQ(ScanLayoutFiles()[0], nullptr);
    EndLayoutScan();
    ForgetLayoutFiles();
}

} // namespace
