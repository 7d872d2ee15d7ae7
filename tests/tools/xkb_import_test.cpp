// Keymaps of xkeyboard-config as layouts: the US keymap gives back the English template's
// characters on every level, other keymaps put theirs on the same keys, Caps Lock follows the
// keymap's key types, and what the format cannot hold is left inert and counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "conversion.h"
#include "layout_import.h"
#include "tree_levels.h"

namespace {

class XkbImport : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        SetSearchDirectory(LAYOUTS_DIRECTORY "/");
        KeyboardLayout request = {};
        lstrcpyW(request.name, u"English");
        lstrcpyW(request.subName, u"Main");
        request.number = -1;
        english = static_cast<KeyboardLayout *>(LoadKeyBoard(nullptr, &request, nullptr));
        context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        std::string error;
        ASSERT_TRUE(CompileKeymap(context, "us", "", us, error)) << error;
        compose =
            xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
        ASSERT_NE(compose, nullptr);
        places = PlaceTemplateKeys(english, us);
    }
    static void TearDownTestSuite() {
        UnLoadKeyBoard(english);
        xkb_compose_table_unref(compose);
        xkb_context_unref(context);
    }
    void TearDown() override {
        UnLoadKeyBoard(imported);
    }
    KeyboardLayout *Import(const std::string &layout, const std::string &variant = "") {
        CompiledKeymap keymap;
        std::string error;
        EXPECT_TRUE(CompileKeymap(context, layout, variant, keymap, error)) << error;
        report = ImportReport();
        imported = ImportLayout(english, places, keymap, compose, LayoutNameOf(keymap.description),
                                LayoutLabelOf(layout), report);
        return imported;
    }
    static KeyboardLayout *Level(KeyboardLayout *layout, const char16_t *subName) {
        return FindLevelNamed(layout, subName);
    }
    static const KeyDef *KeyAt(KeyboardLayout *layout, const char16_t *subName, int left, int top) {
        return KeyAtPlace(FindLevelNamed(layout, subName), left, top);
    }
    // The code of the key at the place on the level of that sub-name, or -1.
    static int CodeAt(KeyboardLayout *layout, const char16_t *subName, int left, int top) {
        const KeyDef *key = KeyAt(layout, subName, left, top);
        return key != nullptr ? key->code : -1;
    }

    static KeyboardLayout *english;
    static xkb_context *context;
    static xkb_compose_table *compose;
    static CompiledKeymap us;
    static std::vector<TemplateKey> places;
    KeyboardLayout *imported = nullptr;
    ImportReport report;
};

KeyboardLayout *XkbImport::english;
xkb_context *XkbImport::context;
xkb_compose_table *XkbImport::compose;
CompiledKeymap XkbImport::us;
std::vector<TemplateKey> XkbImport::places;

// Every character key of the template is found on the US keymap, the comma included.
TEST_F(XkbImport, TheTemplatesCharacterKeysAllHaveAPlace) {
    EXPECT_EQ(places.size(), 47u);
    EXPECT_EQ(us.keys.at(KeycodeAt(places, 148, 48)).levels[plainLevel].character, U',');
    EXPECT_EQ(KeycodeAt(places, 0, 48), 0u) << "Shift stays as it is";
}

TEST_F(XkbImport, TheUsKeymapGivesBackTheTemplate) {
    ASSERT_NE(Import("us"), nullptr);
    EXPECT_EQ(report.inertKeys, 0);
    LayoutLevels mine, theirs;
    FindLevels(imported, &mine);
    FindLevels(english, &theirs);
    KeyboardLayout *levels[][2] = {{mine.main, theirs.main},
                                   {mine.shift, theirs.shift},
                                   {mine.caps, theirs.caps},
                                   {mine.shiftedCaps, theirs.shiftedCaps}};
    for (auto &level : levels) {
        ASSERT_NE(level[0], nullptr);
        Element *a = level[0]->keys;
        Element *b = level[1]->keys;
        for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
            const KeyDef *made = static_cast<const KeyDef *>(a->data);
            const KeyDef *shipped = static_cast<const KeyDef *>(b->data);
            EXPECT_EQ(made->code, shipped->code) << made->left << "," << made->top;
        }
        EXPECT_EQ(a, b) << "as many keys";
    }
    EXPECT_EQ(std::u16string(imported->name), u"English (US)");
    EXPECT_EQ(std::u16string(imported->label), u"us");
}

// German: y and z change places, ß is right of 0; Caps Lock upper-cases the letters only, and
// with Shift gives them small again.
TEST_F(XkbImport, GermanCharactersOnTheirKeysAndCapsLockByKeyType) {
    ASSERT_NE(Import("de"), nullptr);
    EXPECT_EQ(CodeAt(imported, u"Main", 104, 16), u'z');
    EXPECT_EQ(CodeAt(imported, u"Main", 36, 48), u'y');
    EXPECT_EQ(CodeAt(imported, u"Main", 176, 0), u'ß');
    EXPECT_EQ(CodeAt(imported, u"Main", 184, 16), u'ü');
    EXPECT_EQ(CodeAt(imported, u"Shift", 184, 16), u'Ü');
    EXPECT_EQ(CodeAt(imported, u"Shift", 16, 0), u'!');
    EXPECT_EQ(CodeAt(imported, u"Caps", 184, 16), u'Ü');
    EXPECT_EQ(CodeAt(imported, u"Caps", 16, 0), u'1') << "a digit is no letter";
    EXPECT_EQ(CodeAt(imported, u"ShiftedCaps", 184, 16), u'ü');
    EXPECT_EQ(CodeAt(imported, u"ShiftedCaps", 16, 0), u'!');
    EXPECT_EQ(std::u16string(imported->name), u"German");
}

TEST_F(XkbImport, CyrillicAndHebrewGoOntoTheSameKeys) {
    ASSERT_NE(Import("ru"), nullptr);
    EXPECT_EQ(CodeAt(imported, u"Main", 24, 16), u'й');
    EXPECT_EQ(CodeAt(imported, u"Caps", 24, 16), u'Й');
    ASSERT_NE(Import("il"), nullptr);
    EXPECT_EQ(CodeAt(imported, u"Main", 24, 16), u'/');
    EXPECT_EQ(CodeAt(imported, u"Main", 40, 16), u'\'');
    EXPECT_EQ(CodeAt(imported, u"Main", 56, 16), u'ק');
}

// German's dead keys (three on the plain and Shift levels, ten more behind AltGr): each the
// Compose table knows leads to
// its dead copy of the layout, where a key types what the Compose table makes of the two (a MAP
// key, typed alone) or its own character after the accent, and where the dead key's own place
// leads back.
TEST_F(XkbImport, DeadKeysLeadToTheirCompositionsAndBack) {
    ASSERT_NE(Import("de"), nullptr);
    EXPECT_EQ(report.deadKeys, 12);
    EXPECT_EQ(report.deadKeysWithoutCompose, 1);
    EXPECT_EQ(report.inertKeys, 2) << "the one it does not know stays inert, on two levels";
    const KeyDef *circumflex = KeyAt(imported, u"Main", 48, 64);
    ASSERT_NE(circumflex, nullptr);
    EXPECT_EQ(circumflex->flags & (KEY_DEADKEY | KEY_NEWKEYBD), KEY_DEADKEY | KEY_NEWKEYBD);
    EXPECT_EQ(circumflex->code, u'^');
    EXPECT_EQ(circumflex->target, Level(imported, u"Dead1Main"));
    EXPECT_EQ(CodeAt(imported, u"Main", 192, 0), u'\u00B4') << "the acute accent alone";
    const KeyDef *e = KeyAt(imported, u"Dead1Main", 56, 16);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, u'ê');
    EXPECT_NE(e->flags & KEY_MAP, 0u);
    EXPECT_EQ(CodeAt(imported, u"Dead1Shift", 56, 16), u'Ê');
    const KeyDef *q = KeyAt(imported, u"Dead1Main", 24, 16);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->code, u'q') << "nothing to compose: q after the accent";
    EXPECT_EQ(q->flags & KEY_MAP, 0u);
    const KeyDef *back = KeyAt(imported, u"Dead1Main", 48, 64);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->target, Level(imported, u"Main"));
}

// A dead key off the plain level (French diaeresis, Shift on the circumflex key): its tap releases
// Shift, so it leads to the plain keyboard of its copy, and the keyboard's replay of the held dead
// key there finds the way back to Main, hidden, before the dead copy's Shift keyboard.
TEST_F(XkbImport, ADeadKeyOnShiftLeadsToThePlainDeadKeyboardAndBack) {
    ASSERT_NE(Import("fr"), nullptr);
    const auto placeOf = [](xkb_keycode_t keycode) {
        return *std::find_if(places.begin(), places.end(), [keycode](const TemplateKey &place) {
            return place.keycode == keycode;
        });
    };
    const TemplateKey circumflexKey = placeOf(34), eKey = placeOf(26);
    const KeyDef *diaeresis = KeyAt(imported, u"Shift", circumflexKey.left, circumflexKey.top);
    ASSERT_NE(diaeresis, nullptr);
    EXPECT_EQ(diaeresis->code, u'\u00A8');
    EXPECT_NE(diaeresis->flags & KEY_DEADKEY, 0u);
    auto *deadMain = static_cast<KeyboardLayout *>(diaeresis->target);
    ASSERT_NE(deadMain, nullptr);
    const std::u16string subName = deadMain->subName;
    EXPECT_EQ(subName.substr(0, 4), u"Dead");
    EXPECT_EQ(subName.substr(subName.size() - 4), u"Main") << "not its Shift keyboard";
    EXPECT_EQ(KeyAtPlace(deadMain, eKey.left, eKey.top)->code, u'ë');

    const KeyDef *back = FindKeyByUnicode(deadMain->keys, u'\u00A8', KEY_DEADKEY, 0);
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back->flags & KEY_HIDDEN, 0u);
    EXPECT_EQ(back->target, Level(imported, u"Main"));
    const std::u16string deadShift = subName.substr(0, subName.size() - 4) + u"Shift";
    const KeyDef *again = KeyAt(imported, deadShift.c_str(), circumflexKey.left, circumflexKey.top);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->target, Level(imported, u"Main")) << "Shift is no longer held";
}

// Levels 3 and 4 are behind a sticky AltGr key right of a shortened space bar, from each keyboard
// to its AltGr copy and back; a keymap without them gets no AltGr key.
TEST_F(XkbImport, TheThirdAndFourthLevelsAreBehindAltGr) {
    ASSERT_NE(Import("de"), nullptr);
    EXPECT_EQ(CodeAt(imported, u"AltGr", 24, 16), u'@');
    EXPECT_EQ(CodeAt(imported, u"AltGr", 56, 16), u'€');
    EXPECT_EQ(CodeAt(imported, u"ShiftAltGr", 24, 16), u'Ω');
    const KeyDef *altGr = KeyAt(imported, u"Main", 156, 64);
    ASSERT_NE(altGr, nullptr);
    EXPECT_EQ(altGr->flags, KEY_STICK | KEY_NEWKEYBD);
    EXPECT_EQ(altGr->width, 24);
    EXPECT_EQ(altGr->target, Level(imported, u"AltGr"));
    EXPECT_EQ(KeyAt(imported, u"AltGr", 156, 64)->target, Level(imported, u"Main"));
    EXPECT_EQ(KeyAt(imported, u"Shift", 156, 64)->target, Level(imported, u"ShiftAltGr"));
    EXPECT_EQ(KeyAt(imported, u"Main", 64, 64)->width, 92) << "the space bar made room";
    ASSERT_NE(Import("us"), nullptr);
    EXPECT_EQ(KeyAt(imported, u"Main", 156, 64), nullptr);
    EXPECT_EQ(Level(imported, u"AltGr"), nullptr);
}

// The key an ISO keyboard has left of Z takes the left end of Shift where it types something no
// other key does (German "<" and ">"); on the US keymap, whose "<" and ">" are elsewhere, it is
// left out and Shift keeps its width.
TEST_F(XkbImport, TheKeyLeftOfZIsPlacedWhereItAddsACharacter) {
    ASSERT_NE(Import("de"), nullptr);
    EXPECT_EQ(CodeAt(imported, u"Main", 20, 48), u'<');
    EXPECT_EQ(CodeAt(imported, u"Shift", 20, 48), u'>');
    EXPECT_EQ(CodeAt(imported, u"AltGr", 20, 48), u'|');
    EXPECT_EQ(CodeAt(imported, u"Caps", 20, 48), u'<');
    EXPECT_EQ(KeyAt(imported, u"Main", 0, 48)->width, 20);
    EXPECT_EQ(KeyAt(imported, u"ShiftedCapsAltGr", 0, 48)->width, 20);
    ASSERT_NE(Import("us"), nullptr);
    EXPECT_EQ(KeyAt(imported, u"Main", 20, 48), nullptr);
    EXPECT_EQ(KeyAt(imported, u"Main", 0, 48)->width, 36);
}

// Written by the library and read back, an imported layout is the same tree, dead keyboards and
// all.
TEST_F(XkbImport, ASavedImportReadsBackTheSame) {
    ASSERT_NE(Import("de"), nullptr);
    std::vector<WCHAR> text(2500000 / sizeof(WCHAR));
    WCHAR *cursor = text.data();
    SaveKeyBoard(imported, &cursor);
    const std::string folder = testing::TempDir() + "/xkb_round_trip";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/German.kbi", std::ios::binary)
        .write(reinterpret_cast<const char *>(text.data()),
               static_cast<std::streamsize>((cursor - text.data()) * sizeof(WCHAR)));
    SetSearchDirectory((folder + "/").c_str());
    KeyboardLayout request = {};
    lstrcpyW(request.name, u"German");
    lstrcpyW(request.subName, u"Main");
    request.number = -1;
    auto *read = static_cast<KeyboardLayout *>(LoadKeyBoard(nullptr, &request, nullptr));
    ASSERT_NE(read, nullptr);
    for (const char16_t *subName :
         {u"Main", u"Shift", u"Caps", u"ShiftedCaps", u"AltGr", u"ShiftedCapsAltGr", u"Dead1Main",
          u"Dead2Shift", u"Dead3ShiftedCaps", u"Dead12ShiftAltGr"}) {
        KeyboardLayout *mine = Level(imported, subName);
        KeyboardLayout *theirs = Level(read, subName);
        ASSERT_NE(mine, nullptr);
        ASSERT_NE(theirs, nullptr);
        Element *a = mine->keys;
        Element *b = theirs->keys;
        for (; a != nullptr && b != nullptr; a = a->next, b = b->next) {
            const KeyDef *x = static_cast<const KeyDef *>(a->data);
            const KeyDef *y = static_cast<const KeyDef *>(b->data);
            EXPECT_EQ(x->code, y->code) << x->left << "," << x->top;
            EXPECT_EQ(x->flags & ~KEY_VIRTUAL, y->flags & ~KEY_VIRTUAL) << x->left << "," << x->top;
        }
        EXPECT_EQ(a, b);
    }
    UnLoadKeyBoard(read);
}

// Without a Compose table a dead key's keysym types nothing: the key is inert and counted.
TEST_F(XkbImport, WithoutComposeDataADeadKeyIsInert) {
    CompiledKeymap keymap;
    std::string error;
    ASSERT_TRUE(CompileKeymap(context, "de", "", keymap, error)) << error;
    imported = ImportLayout(english, places, keymap, nullptr, u"German", u"de", report);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(CodeAt(imported, u"Main", 48, 64), 0);
    EXPECT_EQ(CodeAt(imported, u"Caps", 48, 64), 0);
    EXPECT_EQ(report.inertKeys, 30) << "each dead key on each level that has it";
    EXPECT_EQ(report.deadKeys, 0);
}

// A name keeps all 99 characters the field holds; one more and the variant part goes, then the
// end; what a header cannot hold becomes a blank, and a comma before a blank goes.
TEST(XkbImportNames, NamesAndLabelsFitTheirFields) {
    EXPECT_EQ(LayoutNameOf("English (US, intl., with dead keys)"),
              u"English (US intl. with dead keys)");
    EXPECT_EQ(LayoutNameOf("a,b [c]\r\n\"d\","), u"a b  c    d  ");
    const std::string full(99, 'x');
    EXPECT_EQ(LayoutNameOf(full).size(), 99u);
    EXPECT_EQ(LayoutNameOf("Long" + std::string(95, 'y') + " (variant)"),
              u"Long" + std::u16string(95, u'y'));
    EXPECT_EQ(LayoutNameOf(std::string(120, 'z')).size(), 99u);
    EXPECT_EQ(LayoutNameOf("Ελληνικά"), u"Ελληνικά");
    EXPECT_EQ(LayoutLabelOf("brai"), u"brai");
    EXPECT_EQ(LayoutLabelOf("chuvash"), u"chuva");
}

TEST(XkbImportLayoutNames, AVariantIsSplitOff) {
    std::string layout, variant;
    SplitLayoutName("de(neo)", layout, variant);
    EXPECT_EQ(layout, "de");
    EXPECT_EQ(variant, "neo");
    SplitLayoutName("fr", layout, variant);
    EXPECT_EQ(layout, "fr");
    EXPECT_EQ(variant, "");
}

// The tool writes one file a layout through the library; each passes the layout authors' check.
TEST(XkbImportTool, WritesCheckedFilesAndSaysWhatFailed) {
    const std::string out = testing::TempDir() + "/xkb_import_out";
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    const std::string command = std::string(XKB_IMPORT_PROGRAM) + " de ru \"us(dvorak)\" " +
                                "nosuchlayout --out " + out + " 2>" + out + "/errors.txt";
    EXPECT_NE(std::system(command.c_str()), 0) << "one layout failed";
    for (const char *name : {"de.kbi", "ru.kbi", "us_dvorak.kbi"}) {
        const std::string path = out + "/" + name;
        ASSERT_TRUE(std::filesystem::exists(path)) << name;
        EXPECT_EQ(
            std::system((std::string(KBI_PROGRAM) + " check " + path + " >/dev/null").c_str()), 0)
            << name;
    }
    std::ifstream errors(out + "/errors.txt");
    const std::string said((std::istreambuf_iterator<char>(errors)),
                           std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("nosuchlayout: libxkbcommon cannot compile nosuchlayout"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("3 layouts written"), std::string::npos) << said;
}

// The build imports every layout the registry lists into the desktop distribution; the catalogue
// lists each file there, and each passes the layout authors' check.
TEST(XkbImportShipped, EveryGeneratedLayoutIsListedAndChecked) {
    std::vector<std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(XKB_LAYOUTS_DIRECTORY)) {
        if (entry.path().extension() == ".kbi") {
            files.push_back(entry.path().filename().string());
        }
    }
    ASSERT_GT(files.size(), 400u) << "xkeyboard-config has some hundred layouts and variants";

    FILE *list = popen((std::string(KBI_PROGRAM) + " list " + XKB_LAYOUTS_DIRECTORY).c_str(), "r");
    ASSERT_NE(list, nullptr);
    std::string listed;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, list)) > 0;) {
        listed.append(buffer, n);
    }
    EXPECT_EQ(pclose(list), 0);
    EXPECT_EQ(static_cast<size_t>(std::count(listed.begin(), listed.end(), '\n')), files.size());
    std::vector<std::string> failed;
    for (const std::string &file : files) {
        EXPECT_NE(listed.find("\\" + file + "\n"), std::string::npos) << file;
        const std::string check = std::string(KBI_PROGRAM) + " check " + XKB_LAYOUTS_DIRECTORY +
                                  "/" + file + " >/dev/null 2>&1";
        if (std::system(check.c_str()) != 0) {
            failed.push_back(file);
        }
    }
    EXPECT_TRUE(failed.empty()) << failed.size() << " fail the check, the first " << failed[0];
}

} // namespace
