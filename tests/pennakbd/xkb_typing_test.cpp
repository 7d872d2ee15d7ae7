// Layouts imported from xkeyboard-config, typed on the device: every key on every level (Shift,
// AltGr, Caps Lock as the layout has them) and every dead key before each key, read back from
// Notes and compared with what libxkbcommon and the Compose table give for the same keys.
#include "keyboard_session.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compose_sequences.h"
#include "device/automation.h"
#include "kernel/code_pages.h"
#include "kernel/host_paths.h"
#include "kernel/scheduler.h"
#include "keyboard_window.h"
#include "keymap_levels.h"
#include "layout_registry.h"
#include "pennakbd_state.h"

namespace {

// Scripts and features: Latin with dead keys and AltGr, Cyrillic, Greek, Hebrew, Arabic, Persian,
// Thai, Georgian, Armenian, Dvorak, and the AltGr-heavy ones.
const std::vector<std::string> sampleLayouts = {
    "us", "de",       "fr",         "es",      "it",         "pt", "br", "gb", "se", "no",
    "dk", "fi",       "is",         "nl",      "be",         "ch", "pl", "cz", "sk", "hu",
    "ro", "hr",       "si",         "rs",      "ru",         "ua", "by", "bg", "mk", "gr",
    "il", "ara",      "ir",         "th",      "ge",         "am", "tr", "lt", "lv", "ee",
    "kz", "us(intl)", "us(dvorak)", "de(neo)", "ca(multix)", "mn",
};

const WCHAR altGrFace = 0x2387;

struct Place {
    int left;
    int top;
    xkb_keycode_t keycode;
};

bool Typeable(char32_t c) {
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c <= 0xFFFF;
}

// With PENNAKEY_XKB_TYPING_ALL set, every layout libxkbcommon compiles (the make target
// xkb-typing-all); otherwise none.
bool TypingEveryLayout() {
    const char *all = std::getenv("PENNAKEY_XKB_TYPING_ALL");
    return all != nullptr && all[0] != 0;
}

std::vector<std::string> EveryLayout() {
    std::vector<std::string> layouts;
    if (!TypingEveryLayout())
        return layouts;
    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    for (const std::string &name : AllLayoutNames()) {
        std::string layout, variant, error;
        SplitLayoutName(name, layout, variant);
        CompiledKeymap keymap;
        if (CompileKeymap(context, layout, variant, keymap, error))
            layouts.push_back(name);
    }
    xkb_context_unref(context);
    return layouts;
}

class XkbTyping : public KeyboardSession, public testing::WithParamInterface<std::string> {
  protected:
    static void SetUpTestSuite() {
        context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        compose =
            xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
        std::string error;
        ASSERT_TRUE(CompileKeymap(context, "us", "", us, error)) << error;
    }
    // The figures of a run over many layouts, printed at its end.
    static void TearDownTestSuite() {
        printf("%d layouts typed, %ld characters checked, %d layouts mismatching\n", layoutsTyped,
               charactersChecked, layoutsMismatching);
        xkb_compose_table_unref(compose);
        xkb_context_unref(context);
    }

    // The layout written by the importer onto the device, in place of the shipped layouts but
    // English (whose names it may share); its name as the selector shows it.
    std::string InstallImported(const std::string &layout) {
        const std::string folder = HostPathFromW(u"\\Program Files\\Pennakey");
        for (const auto &file : std::filesystem::directory_iterator(folder)) {
            if (file.path().extension() == ".kbi" && file.path().filename() != "English.kbi")
                std::filesystem::remove(file.path());
        }
        // Each run of its own: the layouts are tried in parallel.
        const std::string out = testing::TempDir() + "/xkb_typing_" + std::to_string(getpid());
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        const std::string command =
            std::string(XKB_IMPORT_PROGRAM) + " '" + layout + "' --out " + out + " 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << layout;
        std::string name;
        for (const auto &file : std::filesystem::directory_iterator(out)) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            std::filesystem::copy_file(file.path(),
                                       HostPathFromW(u"\\Program Files\\Pennakey\\Imported.kbi"),
                                       std::filesystem::copy_options::overwrite_existing);
            // The first header's name: "[NAME,LABEL,Main,1]".
            std::u16string text(bytes.size() / 2, u'\0');
            memcpy(text.data(), bytes.data(), text.size() * 2);
            const size_t open = text.find(u'[');
            const size_t comma = text.find(u',', open);
            name = Utf8FromWide(text.substr(open + 1, comma - open - 1));
            break;
        }
        std::filesystem::remove_all(out);
        if (name.empty())
            ADD_FAILURE() << "no file for " << layout;
        return name;
    }
    static KeyDef *Displayed(int left, int top) {
        for (Element *node = DisplayedLayout(); node != nullptr; node = node->next) {
            KeyDef *key = static_cast<KeyDef *>(node->data);
            if (key != nullptr && key->left == left && key->top == top && key->width > 0)
                return key;
        }
        return nullptr;
    }
    static KeyDef *DisplayedWithCode(WCHAR code, DWORD flags) {
        for (Element *node = DisplayedLayout(); node != nullptr; node = node->next) {
            KeyDef *key = static_cast<KeyDef *>(node->data);
            if (key != nullptr && key->code == code && (key->flags & flags) == flags)
                return key;
        }
        return nullptr;
    }
    static void TapKey(const KeyDef *key) {
        ASSERT_NE(key, nullptr);
        const RECT face = ScaleKeyRect(key);
        const RECT window = RectOf(KeyboardWindow);
        TapAt(window.left + (face.left + face.right) / 2,
              window.top + (face.top + face.bottom) / 2);
        AdvanceDeviceTime(50);
    }
    static void TapPlace(const Place &place) {
        TapKey(Displayed(place.left, place.top));
    }
    // The English layout's character keys on the US keymap: where each keycode is.
    std::vector<Place> PlacesOnEnglish() {
        Run("pick English\n");
        std::vector<Place> places;
        for (Element *node = DisplayedLayout(); node != nullptr; node = node->next) {
            const KeyDef *key = static_cast<const KeyDef *>(node->data);
            const bool character = (key->flags & KEY_VIRTUAL) == 0 || key->code == ',';
            if (!character || key->code == 0)
                continue;
            for (const auto &[keycode, levels] : us.keys) {
                if (levels.levels[plainLevel].character == key->code) {
                    places.push_back({key->left, key->top, keycode});
                    break;
                }
            }
        }
        return places;
    }
    const LevelSymbol &Symbol(const CompiledKeymap &keymap, const Place &place, KeyLevel level) {
        static const LevelSymbol none;
        const auto found = keymap.keys.find(place.keycode);
        return found != keymap.keys.end() ? found->second.levels[level] : none;
    }
    // Taps every key that types a character on the level, after the keys that lead there; adds
    // what the keymap says each types.
    void TypeLevel(const CompiledKeymap &keymap, const std::vector<Place> &places, KeyLevel level,
                   const std::vector<const KeyDef *> &before, std::u16string &expected) {
        for (const Place &place : places) {
            const LevelSymbol &symbol = Symbol(keymap, place, level);
            if (!Typeable(symbol.character) || IsDeadKeysym(symbol.keysym))
                continue;
            for (const KeyDef *key : before)
                TapKey(DisplayedWithCode(key->code, key->flags & (KEY_STICK | KEY_TOGGLE)));
            TapPlace(place);
            expected += static_cast<char16_t>(symbol.character);
            checked++;
        }
    }
    std::string Notes() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"NotesEdit", text));
        return text;
    }

    static xkb_context *context;
    static xkb_compose_table *compose;
    static CompiledKeymap us;
    int checked = 0;
    const bool everyKey = TypingEveryLayout();
    static int layoutsTyped;
    static long charactersChecked;
    static int layoutsMismatching;
};

xkb_context *XkbTyping::context;
xkb_compose_table *XkbTyping::compose;
CompiledKeymap XkbTyping::us;
int XkbTyping::layoutsTyped;
long XkbTyping::charactersChecked;
int XkbTyping::layoutsMismatching;

TEST_P(XkbTyping, EveryKeyTypesWhatTheKeymapSays) {
    std::string layout, variant;
    SplitLayoutName(GetParam(), layout, variant);
    CompiledKeymap keymap;
    std::string error;
    ASSERT_TRUE(CompileKeymap(context, layout, variant, keymap, error)) << error;
    const std::string name = InstallImported(GetParam());
    ASSERT_FALSE(name.empty());
    Run("start \\Windows\\notes.exe\n");
    StartKeyboard();
    std::vector<Place> places = PlacesOnEnglish();
    ASSERT_EQ(places.size(), 47u);
    Run("pick \"" + name + "\"\n");
    // The key left of Z, where the layout has it: at the left end of the Shift row.
    const xkb_keycode_t keyLeftOfZ = 94;
    const KeyDef *leftOfZ = Displayed(20, 48);
    if (leftOfZ != nullptr && (leftOfZ->flags & KEY_STICK) == 0)
        places.push_back({20, 48, keyLeftOfZ});
    const RECT notes = RectOf(FindWindowW(u"Notes", nullptr));
    TapAt(notes.left + 5, notes.bottom - 5);
    AdvanceDeviceTime(50);

    std::u16string expected;
    const KeyDef shift = {0, 0, 0, 0, VK_SHIFT, KEY_STICK, nullptr, nullptr, 0, 0};
    const KeyDef altGr = {0, 0, 0, 0, altGrFace, KEY_STICK, nullptr, nullptr, 0, 0};
    TypeLevel(keymap, places, plainLevel, {}, expected);
    TypeLevel(keymap, places, shiftLevel, {&shift}, expected);
    if (DisplayedWithCode(altGrFace, KEY_STICK) != nullptr) {
        TypeLevel(keymap, places, altGrLevel, {&altGr}, expected);
        TypeLevel(keymap, places, shiftAltGrLevel, {&altGr, &shift}, expected);
    }
    TapKey(DisplayedWithCode(VK_CAPITAL, KEY_TOGGLE));
    TypeLevel(keymap, places, capsLevel, {}, expected);
    TypeLevel(keymap, places, shiftCapsLevel, {&shift}, expected);
    TapKey(DisplayedWithCode(VK_CAPITAL, KEY_TOGGLE));

    // Each dead key, on whichever level it is, before each key of the plain and Shift levels it
    // composes with, and a key it does not compose with (the accent, then the key's own
    // character); the run over every layout types every key after every dead key. The dead key's
    // tap releases Shift and AltGr, as lifting them does on a PC, so the key after it is on the
    // level it asks for.
    struct Level {
        KeyLevel kind;
        std::vector<const KeyDef *> before;
    };
    std::vector<Level> deadLevels = {{plainLevel, {}}, {shiftLevel, {&shift}}};
    const std::vector<Level> baseLevels = deadLevels;
    if (DisplayedWithCode(altGrFace, KEY_STICK) != nullptr) {
        deadLevels.push_back({altGrLevel, {&altGr}});
        deadLevels.push_back({shiftAltGrLevel, {&altGr, &shift}});
    }
    for (const Level &deadLevel : deadLevels) {
        for (const Place &deadPlace : places) {
            const LevelSymbol &dead = Symbol(keymap, deadPlace, deadLevel.kind);
            const char32_t face = IsDeadKeysym(dead.keysym) ? DeadKeyFace(compose, dead.keysym) : 0;
            if (!Typeable(face))
                continue;
            for (const Level &baseLevel : baseLevels) {
                bool uncomposedTyped = false;
                for (const Place &place : places) {
                    const LevelSymbol &base = Symbol(keymap, place, baseLevel.kind);
                    if (!Typeable(base.character) || IsDeadKeysym(base.keysym))
                        continue;
                    const char32_t composed = Composed(compose, dead.keysym, base.keysym);
                    if (!Typeable(composed) && uncomposedTyped && !everyKey)
                        continue;
                    uncomposedTyped |= !Typeable(composed);
                    for (const KeyDef *key : deadLevel.before)
                        TapKey(DisplayedWithCode(key->code, key->flags & KEY_STICK));
                    TapPlace(deadPlace);
                    for (const KeyDef *key : baseLevel.before)
                        TapKey(DisplayedWithCode(key->code, key->flags & KEY_STICK));
                    TapPlace(place);
                    if (Typeable(composed)) {
                        expected += static_cast<char16_t>(composed);
                    } else {
                        expected += static_cast<char16_t>(face);
                        expected += static_cast<char16_t>(base.character);
                    }
                    checked++;
                }
            }
        }
    }

    const std::string typed = Notes();
    const std::string wanted = Utf8FromWide(expected);
    EXPECT_EQ(typed, wanted) << GetParam() << ": " << checked << " characters";
    layoutsTyped++;
    charactersChecked += checked;
    layoutsMismatching += typed != wanted ? 1 : 0;
    RecordProperty("characters", checked);
}

std::string TestNameOf(const testing::TestParamInfo<std::string> &info) {
    std::string name = info.param;
    for (char &c : name)
        c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Sample, XkbTyping, testing::ValuesIn(sampleLayouts), TestNameOf);
INSTANTIATE_TEST_SUITE_P(All, XkbTyping, testing::ValuesIn(EveryLayout()), TestNameOf);

} // namespace
