// Converting legacy layouts, in-process: maps, dead keys and their dead keyboards.
#include <gtest/gtest.h>

#include <set>

#include "morvex_test_support.h"

namespace {

class Conversion : public testing::Test {
  protected:
    Conversion() : english(SHIPPED_LAYOUTS_DIRECTORY), englishTemplate(english.Load("English")) {}
    void SetUp() override {
        ASSERT_NE(englishTemplate, nullptr);
    }
    KeyboardLayout *Convert(LegacyBuilder &legacy) {
        KeyboardLayout *result = ConvertLegacyLayout(englishTemplate, &legacy.layout);
        EXPECT_NE(result, nullptr);
        return result;
    }
    WORD CodeAt(KeyboardLayout *layout, const char *level, char16_t english) {
        KeyDef *key = KeyAtTemplatePlace(Level(layout, level), level, english);
        return key != nullptr ? key->code : 0;
    }
    LoadedLayouts english;
    KeyboardLayout *englishTemplate;
};

TEST_F(Conversion, MapsChangeTheirLevelsAndSwapsChangeEachKeyOnce) {
    LegacyBuilder legacy("Swap");
    legacy.Map("yz zy YZ ZY [\xfc").CapsMap("YZ ZY [\xdc");
    KeyboardLayout *result = Convert(legacy);
    EXPECT_EQ(CodeAt(result, "Main", 'y'), 'z');
    EXPECT_EQ(CodeAt(result, "Main", 'z'), 'y');
    EXPECT_EQ(CodeAt(result, "Main", '['), u'\u00fc');
    EXPECT_EQ(CodeAt(result, "Shift", 'Y'), 'Z');
    EXPECT_EQ(CodeAt(result, "Shift", 'Z'), 'Y');
    EXPECT_EQ(CodeAt(result, "Caps", 'Y'), 'Z');
    EXPECT_EQ(CodeAt(result, "Caps", '['), u'\u00dc');
    EXPECT_EQ(CodeAt(result, "ShiftedCaps", 'y'), 'y'); // the caps map says nothing of it
    // The template itself never changes.
    EXPECT_EQ(CodeAt(englishTemplate, "Main", 'y'), 'y');
}

TEST_F(Conversion, TheResultTakesTitleAndLabelAndKeepsTheTemplatesSubNames) {
    LegacyBuilder legacy("Plain Title");
    KeyboardLayout *result = Convert(legacy);
    std::set<std::string> names;
    for (const char *level : {"Main", "Shift", "Caps", "ShiftedCaps"}) {
        KeyboardLayout *found = Level(result, level);
        ASSERT_NE(found, nullptr) << level;
        names.insert(NameOf(found));
        EXPECT_EQ(std::u16string(found->label), u"Tt");
        EXPECT_EQ(found->number, 1);
    }
    EXPECT_EQ(names, (std::set<std::string>{"Plain Title/Main", "Plain Title/Shift",
                                            "Plain Title/Caps", "Plain Title/ShiftedCaps"}));
}

TEST_F(Conversion, ASpaceGainsVirtualAndAFormerSpaceLosesIt) {
    LegacyBuilder legacy("Spaces");
    legacy.Map("` ");
    KeyboardLayout *result = Convert(legacy);
    KeyDef *grave = KeyAtTemplatePlace(Level(result, "Main"), "Main", '`');
    ASSERT_NE(grave, nullptr);
    EXPECT_EQ(grave->code, ' ');
    EXPECT_NE(grave->flags & KEY_VIRTUAL, 0u);
}

TEST_F(Conversion, EachDeadKeyLeadsToItsOwnDeadKeyboard) {
    LegacyBuilder legacy("Dead");
    legacy.DeadKey('`', '^', "a\xe2 A\xc2 e\xea").DeadKey('=', '\xb4', "a\xe1");
    KeyboardLayout *result = Convert(legacy);

    KeyDef *circumflex = KeyAtTemplatePlace(result, "Main", '`');
    KeyDef *acute = KeyAtTemplatePlace(result, "Main", '=');
    ASSERT_NE(circumflex, nullptr);
    ASSERT_NE(acute, nullptr);
    EXPECT_EQ(circumflex->flags, KEY_DEADKEY | KEY_IMAGEINTERNAL | KEY_NEWKEYBD);
    EXPECT_EQ(circumflex->code, '^');
    EXPECT_EQ(circumflex->imageIndex, 121u);
    EXPECT_EQ(acute->imageIndex, 122u);
    EXPECT_EQ(acute->code, u'\u00b4');
    KeyboardLayout *dead1 = (KeyboardLayout *)circumflex->target;
    KeyboardLayout *dead2 = (KeyboardLayout *)acute->target;
    ASSERT_NE(dead1, nullptr);
    ASSERT_NE(dead2, nullptr);
    EXPECT_EQ(NameOf(dead1), "Dead/Dead1Main");
    EXPECT_EQ(NameOf(dead2), "Dead/Dead2Main");

    // Inside the first dead keyboard: the composed letters, the face on the space bar, the dead
    // key leading back and the other dead key leading on.
    KeyDef *a = KeyAtTemplatePlace(dead1, "Main", 'a');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->code, u'\u00e2');
    EXPECT_NE(a->flags & KEY_MAP, 0u);
    EXPECT_EQ(CodeAt(dead1, "Shift", 'A'), u'\u00c2');
    EXPECT_EQ(CodeAt(dead1, "Main", 'b'), 'b');
    KeyDef *space = KeyAtTemplatePlace(dead1, "Main", ' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->code, '^');
    EXPECT_EQ(space->flags & KEY_VIRTUAL, 0u);
    EXPECT_EQ(KeyAtTemplatePlace(dead1, "Main", '`')->target, result);
    EXPECT_EQ(KeyAtTemplatePlace(dead1, "Main", '=')->target, dead2);
    EXPECT_EQ(KeyAtTemplatePlace(dead2, "Main", '`')->target, dead1);

    // On the Caps level the dead key leads to the dead keyboard's Caps level.
    KeyDef *capsCircumflex = KeyAtTemplatePlace(Level(result, "Caps"), "Caps", '`');
    ASSERT_NE(capsCircumflex, nullptr);
    ASSERT_NE(capsCircumflex->target, nullptr);
    EXPECT_EQ(NameOf((KeyboardLayout *)capsCircumflex->target), "Dead/Dead1Caps");

    // The dead key stays reachable from the dead keyboard's Shift level, hidden.
    bool hiddenCopy = false;
    for (KeyDef *key : KeysInListOrder(Level(dead1, "Shift")))
        hiddenCopy |= (key->flags & KEY_HIDDEN) != 0 && key->target == result;
    EXPECT_TRUE(hiddenCopy);
}

TEST_F(Conversion, ADeadKeyMissingFromTheTemplateGetsNoDeadKeyboard) {
    LegacyBuilder legacy("Missing");
    legacy.DeadKey('\xa7', '~', "n\xf1");
    KeyboardLayout *result = Convert(legacy);
    std::vector<WCHAR> text(1250000);
    WCHAR *end = text.data();
    ASSERT_EQ(SaveKeyBoard(result, &end), 1);
    std::string written = Utf8(std::u16string(text.data(), end));
    EXPECT_EQ(written.find("Dead1"), std::string::npos);
}

TEST_F(Conversion, DeadKeysPastTheSixthShowTheirFaceInsteadOfAPicture) {
    LegacyBuilder legacy("Seven");
    const char keys[] = "`=[];'/";
    for (int i = 0; i < 7; i++)
        legacy.DeadKey(keys[i], (char)('1' + i), "a\xe2");
    KeyboardLayout *result = Convert(legacy);
    KeyDef *sixth = KeyAtTemplatePlace(result, "Main", '\'');
    KeyDef *seventh = KeyAtTemplatePlace(result, "Main", '/');
    ASSERT_NE(sixth, nullptr);
    ASSERT_NE(seventh, nullptr);
    EXPECT_EQ(sixth->imageIndex, 126u);
    EXPECT_EQ(seventh->flags, KEY_DEADKEY | KEY_NEWKEYBD);
    EXPECT_EQ(seventh->imageIndex, 0u);
    EXPECT_EQ(seventh->code, '7');
    ASSERT_NE(seventh->target, nullptr);
    EXPECT_EQ(NameOf((KeyboardLayout *)seventh->target), "Seven/Dead7Main");
}

TEST_F(Conversion, NationalLettersOfADeadKeyMapAreFoundByTheirCharacter) {
    // Greek: the main map puts alpha on the "a" key; the accent turns it into alpha with tonos.
    LegacyBuilder legacy("Greek", 1253);
    legacy.Map("a\xe1 A\xc1").DeadKey(';', '\xb4', "\xe1\xdc \xc1\xa2 {x");
    KeyboardLayout *result = Convert(legacy);
    EXPECT_EQ(CodeAt(result, "Main", 'a'), u'\u03b1');
    KeyboardLayout *dead = (KeyboardLayout *)KeyAtTemplatePlace(result, "Main", ';')->target;
    ASSERT_NE(dead, nullptr);
    EXPECT_EQ(CodeAt(dead, "Main", 'a'), u'\u03ac');
    EXPECT_EQ(CodeAt(dead, "Shift", 'A'), u'\u0386');
    EXPECT_EQ(CodeAt(dead, "Shift", '{'), '{'); // ASCII past "z" names no key
    EXPECT_EQ(KeyAtTemplatePlace(result, "Main", ';')->code, u'\u0384');
}

TEST(ApplyCharMaps, ASourceOnBothLevelsChangesOnlyTheFirst) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("mini.kbi",
                              "[Mini,M,Main,1]\n"
                              "0, 0, 10, 10, 0, a, 0, 0\n"
                              "10, 0, 10, 10, VIRTUAL|NEWKEYBD, SHIFT, \"Mini,Shift\", 0\n"
                              "[Mini,M,Shift,1]\n"
                              "0, 0, 10, 10, 0, a, 0, 0\n"
                              "20, 0, 10, 10, 0, b, 0, 0\n");
    LoadedLayouts layouts(directory.Path());
    KeyboardLayout *mini = layouts.Load("Mini");
    ASSERT_NE(mini, nullptr);
    LegacyBuilder legacy("Mini");
    legacy.Map("ax bc qr");
    ApplyCharMaps(mini, &legacy.layout, nullptr, legacy.layout.mainMap, legacy.layout.capsMap,
                  &CharMapRange, FALSE, FALSE);
    KeyboardLayout *shift = Level(mini, "Shift");
    EXPECT_EQ(KeysInListOrder(mini)[0]->code, 'x');
    EXPECT_EQ(KeysInListOrder(shift)[0]->code, 'a');
    EXPECT_EQ(KeysInListOrder(shift)[1]->code, 'c');
    EXPECT_EQ(KeysInListOrder(mini)[0]->flags & KEY_TEMP_MARK, 0u);
}

} // namespace
