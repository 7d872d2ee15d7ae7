// The layout authors' tool, run as a program.
#include <gtest/gtest.h>

#include "layodex_test_support.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

ProgramRun RunKbi(const std::string &arguments) {
    return RunProgram(std::string(KBI_PROGRAM) + " " + arguments);
}

TEST(Kbi, CheckReportsEveryDroppedLineAndHeaderWithItsPosition) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("faulty.kbi", "[Faulty,F,Main,1]\n"
                                            "0, 0, 20, 20, 0, a, 0, 0\n"
                                            "0, 0, 20, 20, 0, ab, 0, 0\n"
                                            "  0, 0, 20, 20, VIRTUAL, F1, 0, 0\n"
                                            "[Faulty,F,Shift]\n"
                                            "0, 0, 20, 20, STICK||TOGGLE, a, 0, 0\n"
                                            "[Faulty,F,Caps,1]\n"
                                            "0, 0, 20, 20, NEWKEYBD, a, Faulty Main, 0\n"
                                            "0, 0, 20, 20, 0, [, 0, 0\n"
                                            "0, 0, 20, 20, MACRO, m, \"[Hidden,H,Main,1]\", 0\n"
                                            "0, 0, 20, 20, 0, xy, 0, 0\n");
    ProgramRun run = RunKbi("check " + directory.File("faulty.kbi"));
    std::string file = directory.File("faulty.kbi");
    // The "[" key is no header and not reported; the header inside the macro text is one, for
    // the library as much as for the tool, and its first key line reads the rest of that line.
    EXPECT_EQ(run.output, file + ":3:1: code is more than one character\n" + file +
                              ":4:3: unknown virtual-key name\n" + file +
                              ":5:1: header has fewer than four fields\n" + file +
                              ":8:1: target needs a layout and a sub-keyboard name\n" + file +
                              ":10:26: section header inside a line\n" + file +
                              ":10:43: code is more than one character\n" + file +
                              ":11:1: code is more than one character\n");
    EXPECT_EQ(run.status, 1);
}

TEST(Kbi, CheckPassesTheShippedLayouts) {
    ProgramRun run = RunKbi(std::string("check ") + LAYODEX_LAYOUTS_DIRECTORY + "/English.kbi");
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(RunKbi("check /nonexistent/file.kbi").status, 2);
}

TEST(Kbi, CheckAcceptsALeadingByteOrderMark) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("marked.kbi", "\xEF\xBB\xBF[Marked,M,Main,1]\n0,0,1,1,,a,0,0\n");
    ProgramRun run = RunKbi("check " + directory.File("marked.kbi"));
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.status, 0);

    // The mark hides no problem after it, and is a column of its own.
    directory.WriteLayoutFile("faulty.kbi", "\xEF\xBB\xBF [a,b]\n[Marked,M,Main,1]\n"
                                            "0,0,1,1,,ab,0,0\n");
    run = RunKbi("check " + directory.File("faulty.kbi"));
    std::string file = directory.File("faulty.kbi");
    EXPECT_EQ(run.output, file + ":1:3: header has fewer than four fields\n" + file +
                              ":3:1: code is more than one character\n");
    EXPECT_EQ(run.status, 1);

    // Only at the very start: a mark later in the text is an ordinary character before "[".
    directory.WriteLayoutFile("late.kbi", "[Marked,M,Main,1]\n\xEF\xBB\xBF[Marked,M,Shift,1]\n");
    run = RunKbi("check " + directory.File("late.kbi"));
    EXPECT_NE(run.output.find(directory.File("late.kbi") + ":2:2: section header inside a line\n"),
              std::string::npos)
        << run.output;
}

// The pipe is made first and the tool run after: opening it must fail, not wait for a writer.
TEST(Kbi, NamedPipesAreSkippedWithoutWaiting) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("good.kbi", "[Good,G,Main,1]\n0,0,1,1,,a,0,0\n");
    ASSERT_EQ(mkfifo(directory.File("pipe.kbi").c_str(), 0666), 0);
    ProgramRun list = RunKbi("list " + directory.Path());
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.output.rfind("Good\tlabel G\tnumber 1\t", 0), 0u) << list.output;
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 1);
    ProgramRun show = RunKbi("show Good " + directory.Path());
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.output.rfind("[Good,G,Main,1]", 0), 0u);
    ProgramRun check = RunKbi("check " + directory.File("pipe.kbi"));
    EXPECT_EQ(check.output, "kbi: cannot read " + directory.File("pipe.kbi") + "\n");
    EXPECT_EQ(check.status, 2);
}

TEST(Kbi, ListAndShow) {
    ProgramRun list = RunKbi(std::string("list ") + LAYODEX_LAYOUTS_DIRECTORY);
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.output.find("English\tlabel En\tnumber 1\t"), std::string::npos);

    ProgramRun show = RunKbi(std::string("show English ") + LAYODEX_LAYOUTS_DIRECTORY);
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.output.rfind("[English,En,Main,1] ", 0), 0u);
    for (const char *expected :
         {"[English,En,Shift,1]", "[English,En,Caps,1]", "[English,En,ShiftedCaps,1]",
          "VIRTUAL|STICK|IMAGEINTERNAL|NEWKEYBD  SHIFT  -> English/Shift #"})
        EXPECT_NE(show.output.find(expected), std::string::npos) << expected;

    EXPECT_EQ(RunKbi(std::string("show Nothing ") + LAYODEX_LAYOUTS_DIRECTORY).status, 1);
    EXPECT_EQ(RunKbi("frobnicate").status, 2);
}

} // namespace
