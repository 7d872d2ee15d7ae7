// The built converter, run from a copy of the desktop distribution on the shipped samples and on
// small cases, its output read back with the layout library.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "morvex_test_support.h"

namespace fs = std::filesystem;

namespace {

const char *const completion = "[Translating Application] Translation was complited !\n";

class MorvexProgram : public testing::Test {
  protected:
    MorvexProgram() : distribution(root.Path() + "/dist"), work(root.Path() + "/work") {
        CopyDistribution(distribution);
        fs::create_directories(work);
    }
    void CopySample(const char *name) {
        fs::copy_file(std::string(LEGACY_LAYOUTS_DIRECTORY) + "/" + name, work + "/" + name);
    }
    void WriteLegacy(const char *name, const std::string &bytes) {
        WriteBytes(work + "/" + name, bytes);
    }
    TemporaryDirectory root;
    std::string distribution;
    std::string work;
};

TEST_F(MorvexProgram, ConvertsEveryShippedSampleAsTheShippedLayoutsHaveIt) {
    for (const char *sample :
         {"pennini.sve", "pennini.deu", "pennini.fra", "pennini.ru", "pennini.ell"})
        CopySample(sample);
    ProgramRun run = RunMorvex(distribution, work);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, completion); // once, however many files
    for (const char *name : {"Swedish", "German", "French", "Russian", "Greek"}) {
        std::string file = std::string(name) + ".kbi";
        ASSERT_TRUE(fs::exists(work + "/" + file)) << file;
        EXPECT_TRUE(ReadBytes(work + "/" + file) ==
                    ReadBytes(std::string(SHIPPED_LAYOUTS_DIRECTORY) + "/" + file))
            << file << " differs from the shipped one: see layouts/README.md to regenerate";
    }
}

class ConvertedSamples : public MorvexProgram {
  protected:
    void SetUp() override {
        for (const char *sample :
             {"pennini.sve", "pennini.deu", "pennini.fra", "pennini.ru", "pennini.ell"})
            CopySample(sample);
        ASSERT_EQ(RunMorvex(distribution, work).status, 0);
        layouts = std::make_unique<LoadedLayouts>(work);
    }
    WORD CodeAt(KeyboardLayout *layout, const char *level, char16_t english) {
        KeyDef *key = KeyAtTemplatePlace(Level(layout, level), level, english);
        return key != nullptr ? key->code : 0;
    }
    KeyboardLayout *DeadKeyboard(KeyboardLayout *layout, const char *level, char16_t english) {
        KeyDef *key = KeyAtTemplatePlace(Level(layout, level), level, english);
        if (key == nullptr || (key->flags & KEY_DEADKEY) == 0)
            return nullptr;
        return (KeyboardLayout *)key->target;
    }
    std::unique_ptr<LoadedLayouts> layouts;
};

TEST_F(ConvertedSamples, NationalCharactersSitOnTheirKeys) {
    struct Expectation {
        const char *layout, *level;
        char16_t english, national;
    } expectations[] = {
        {"German", "Main", 'y', u'z'},
        {"German", "Main", 'z', u'y'},
        {"German", "Shift", 'Y', u'Z'},
        {"German", "Main", '[', u'\u00fc'},
        {"German", "Shift", ':', u'\u00d6'},
        {"German", "Caps", '[', u'\u00dc'},
        {"German", "Main", '-', u'\u00df'},
        {"Swedish", "Main", '[', u'\u00e5'},
        {"Swedish", "Shift", '"', u'\u00c4'},
        {"Swedish", "Caps", ';', u'\u00d6'},
        {"French", "Main", 'q', u'a'},
        {"French", "Main", 'a', u'q'},
        {"French", "Main", 'w', u'z'},
        {"French", "Main", '2', u'\u00e9'},
        {"Russian", "Main", 'q', u'\u0439'},
        {"Russian", "Shift", 'Q', u'\u0419'},
        {"Russian", "Main", '`', u'\u0451'},
        {"Russian", "Caps", 'F', u'\u0410'},
        {"Russian", "ShiftedCaps", 'f', u'\u0430'},
        {"Greek", "Main", 'a', u'\u03b1'},
        {"Greek", "Shift", 'S', u'\u03a3'},
        {"Greek", "Main", 'w', u'\u03c2'},
    };
    for (const Expectation &e : expectations) {
        KeyboardLayout *layout = layouts->Load(e.layout);
        ASSERT_NE(layout, nullptr) << e.layout;
        EXPECT_EQ(CodeAt(layout, e.level, e.english), e.national)
            << e.layout << " " << e.level << " '" << (char)e.english << "'";
    }
}

TEST_F(ConvertedSamples, DeadKeysComposeAndLeadBack) {
    struct Composition {
        const char *layout, *deadLevel;
        char16_t deadEnglish, face;
        const char *letterLevel;
        char16_t letterEnglish, composed;
    } compositions[] = {
        {"German", "Main", '`', u'^', "Main", 'e', u'\u00ea'},
        {"German", "Main", '=', u'\u00b4', "Shift", 'E', u'\u00c9'},
        {"German", "Shift", '+', u'`', "Main", 'a', u'\u00e0'},
        {"French", "Main", '[', u'^', "Main", 'e', u'\u00ea'},
        {"French", "Shift", '{', u'\u00a8', "Main", 'i', u'\u00ef'},
        {"Swedish", "Main", ']', u'\u00a8', "Main", 'u', u'\u00fc'},
        {"Greek", "Main", ';', u'\u0384', "Main", 'a', u'\u03ac'},
        {"Greek", "Main", ';', u'\u0384', "Shift", 'O', u'\u038c'},
    };
    for (const Composition &c : compositions) {
        SCOPED_TRACE(std::string(c.layout) + " dead key at '" + (char)c.deadEnglish + "'");
        KeyboardLayout *layout = layouts->Load(c.layout);
        ASSERT_NE(layout, nullptr);
        KeyDef *deadKey =
            KeyAtTemplatePlace(Level(layout, c.deadLevel), c.deadLevel, c.deadEnglish);
        ASSERT_NE(deadKey, nullptr);
        EXPECT_EQ(deadKey->code, c.face);
        EXPECT_EQ(deadKey->flags & (KEY_DEADKEY | KEY_NEWKEYBD), KEY_DEADKEY | KEY_NEWKEYBD);
        KeyboardLayout *dead = (KeyboardLayout *)deadKey->target;
        ASSERT_NE(dead, nullptr);
        EXPECT_EQ(CodeAt(dead, c.letterLevel, c.letterEnglish), c.composed);
        EXPECT_EQ(CodeAt(dead, "Main", ' '), c.face); // the space bar types the accent alone
        // Tapping the same dead key again leads back to the layout's own level.
        KeyDef *again = KeyAtTemplatePlace(Level(dead, c.deadLevel), c.deadLevel, c.deadEnglish);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->target, Level(layout, "Main"));
    }
}

TEST_F(ConvertedSamples, LayoutsAreNamedAndLabelledAfterTheirFiles) {
    std::vector<std::string> names;
    for (KeyboardLayout *entry : InListOrder(layouts->Catalogue()))
        names.push_back(Utf8(entry->name) + "," + Utf8(entry->label));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"French,Fr", "German,De", "Greek,El", "Russian,Ru",
                                               "Swedish,Sv"}));
}

TEST_F(MorvexProgram, WithoutTheTemplateTheExitCodeIsOneAndNothingIsTouched) {
    fs::remove(distribution + "/English.kbi");
    CopySample("pennini.deu");
    ProgramRun run = RunMorvex(distribution, work);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_FALSE(fs::exists(work + "/German.kbi"));
}

TEST_F(MorvexProgram, WithoutLegacyFilesThereIsNoMessage) {
    WriteBytes(work + "/pennini12.deu", "Too long a stem\r\n");
    ProgramRun run = RunMorvex(distribution, work);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}

TEST_F(MorvexProgram, TitlesBecomeFileNamesAndUnwritableOnesAreSkipped) {
    WriteLegacy("pennini1.deu", "My: Layout & *Co*\r\n<map>\r\ny z\r\n</map>\r\n");
    WriteLegacy("pennini2.deu", "Bad/Name\r\n");
    WriteLegacy("pennini3.xyz", "Unknown\r\n<map>\r\n; \xe9\r\n</map>\r\n");
    WriteLegacy("pennini4.deu", ""); // an empty file cannot be mapped: skipped
    ProgramRun run = RunMorvex(distribution, work, "1250");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, completion);
    EXPECT_TRUE(fs::exists(work + "/My Layout  Co.kbi"));
    EXPECT_FALSE(fs::exists(work + "/Bad"));

    LoadedLayouts converted(work);
    KeyboardLayout *titled = converted.Load("My: Layout & *Co*");
    ASSERT_NE(titled, nullptr); // the layout keeps the title; only the file name loses characters
    // An extension without a locale decodes with the code page from the command line, and has
    // no label.
    KeyboardLayout *unknown = converted.Load("Unknown");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(std::u16string(unknown->label), u"");
    KeyDef *key = KeyAtTemplatePlace(unknown, "Main", ';');
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->code, u'\u00e9'); // 0xE9 is é in 1250 as in 1252
}

std::set<std::string> FilesIn(const std::string &directory) {
    std::set<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

TEST_F(MorvexProgram, TitlesThatWouldWriteOutsideTheDirectoryAreSkipped) {
    const std::string englishTemplate = ReadBytes(distribution + "/English.kbi");
    const std::set<std::string> distributionFiles = FilesIn(distribution);
    WriteLegacy("pennini1.deu", "../dist/English\r\n<map>\r\ny z\r\n</map>\r\n");
    WriteLegacy("pennini2.deu", "../escaped\r\n");
    WriteLegacy("pennini3.deu", "..\\escaped\r\n");
    WriteLegacy("pennini4.deu", "C:escaped\r\n");
    WriteLegacy("pennini5.deu", "NUL.txt\r\n");
    WriteLegacy("pennini6.deu", "Written\r\n");
    ProgramRun run = RunMorvex(distribution, work);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, completion);
    EXPECT_TRUE(ReadBytes(distribution + "/English.kbi") == englishTemplate)
        << "the English template beside the library was replaced";
    EXPECT_EQ(FilesIn(distribution), distributionFiles);
    EXPECT_EQ(FilesIn(root.Path()), (std::set<std::string>{"dist", "work"}));
    EXPECT_EQ(FilesIn(work),
              (std::set<std::string>{"pennini1.deu", "pennini2.deu", "pennini3.deu", "pennini4.deu",
                                     "pennini5.deu", "pennini6.deu", "Written.kbi"}));
}

// The pipe is made first and the converter run after: opening it must fail, not wait for a
// writer that never comes.
TEST_F(MorvexProgram, ANamedPipeIsSkippedWithoutWaiting) {
    ASSERT_EQ(mkfifo((work + "/pennini.deu").c_str(), 0666), 0);
    WriteLegacy("pennini1.deu", "Written\r\n");
    ProgramRun run = RunMorvex(distribution, work);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, completion);
    EXPECT_TRUE(fs::exists(work + "/Written.kbi"));
}

// Whoever runs the test, root included, a read-only layout is not replaced.
TEST_F(MorvexProgram, AReadOnlyLayoutIsNotReplaced) {
    WriteLegacy("pennini.deu", "Kept\r\n");
    WriteBytes(work + "/Kept.kbi", "old layout");
    fs::permissions(work + "/Kept.kbi",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ProgramRun run = RunMorvex(distribution, work);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, completion);
    EXPECT_EQ(ReadBytes(work + "/Kept.kbi"), "old layout");
    EXPECT_FALSE(fs::exists(work + "/Kept.kbi~"));
}

TEST_F(MorvexProgram, TemporaryFilesLeftByCrashesNeverBlockAConversion) {
    WriteLegacy("pennini.deu", "Kept\r\n");
    WriteBytes(work + "/Kept.kbi", "old layout");
    for (const char *suffix : {"~", "~1", "~2", "~3", "~4", "~5", "~6", "~7"})
        WriteBytes(work + "/Kept.kbi" + suffix, "x");
    EXPECT_EQ(RunMorvex(distribution, work).status, 0);
    EXPECT_NE(ReadBytes(work + "/Kept.kbi"), "old layout");
    EXPECT_FALSE(fs::exists(work + "/Kept.kbi~"));
    EXPECT_EQ(ReadBytes(work + "/Kept.kbi~7"), "x");
}

TEST_F(MorvexProgram, AnExistingLayoutIsKeptWhenTheDiskIsFull) {
    WriteLegacy("pennini.deu", "Kept\r\n");
    WriteBytes(work + "/Kept.kbi", "old layout");
    // A file-size limit, which the converter inherits, stands in for a full disk.
    rlimit saved = {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int status = RunMorvex(distribution, work).status;
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(work + "/Kept.kbi"), "old layout");
    EXPECT_FALSE(fs::exists(work + "/Kept.kbi~"));
}

} // namespace
