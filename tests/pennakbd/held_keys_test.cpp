// Held keys: holding and releasing them, and replaying them on layouts.
#include "layout_fixture.h"

#include <filesystem>
#include <fstream>

#include "held_keys.h"
#include "keyboard_window.h"
#include "program_lists.h"
#include "pennakbd_state.h"

namespace {

class HeldKeysTest : public LayoutFixture {
  protected:
    static int HeldCount() {
        int count = 0;
        for (Element *node = HeldKeys; node != nullptr; node = node->next) {
            ++count;
        }
        return count;
    }
    static KeyDef Key(WORD code, DWORD flags) {
        return KeyDef{0, 0, 10, 10, code, flags, nullptr, nullptr, 0, 0};
    }
};

TEST_F(HeldKeysTest, ToggleAddsACopyAndRemovesTheMatchingOne) {
    const KeyDef shift = Key(VK_SHIFT, KEY_STICK | KEY_VIRTUAL);
    EXPECT_EQ(ToggleHeldKey(&shift), 1);
    EXPECT_EQ(HeldCount(), 1);
    EXPECT_NE(HeldKeys->data, &shift) << "a copy is held";
    EXPECT_EQ(ToggleHeldKey(&shift), 0);
    EXPECT_EQ(HeldKeys, nullptr);
    EXPECT_EQ(ToggleHeldKey(nullptr), 1);
    EXPECT_EQ(HeldKeys, nullptr);

    // The same code with other kind bits is another held key.
    const KeyDef lock = Key(VK_SHIFT, KEY_TOGGLE);
    ToggleHeldKey(&shift);
    EXPECT_EQ(ToggleHeldKey(&lock), 1);
    EXPECT_EQ(HeldCount(), 2);
}

TEST_F(HeldKeysTest, ReleasingAnswersTheStickyCodesNewestFirst) {
    const KeyDef shift = Key(VK_SHIFT, KEY_STICK);
    const KeyDef control = Key(VK_CONTROL, KEY_STICK);
    const KeyDef caps = Key(VK_CAPITAL, KEY_TOGGLE);
    ToggleHeldKey(&shift);
    ToggleHeldKey(&caps);
    ToggleHeldKey(&control);
    WCHAR *codes = ReleaseHeldKeys(KEY_STICK | KEY_DEADKEY);
    ASSERT_NE(codes, nullptr);
    EXPECT_EQ(std::u16string(codes), (std::u16string{VK_CONTROL, VK_SHIFT}));
    LocalFree(codes);
    EXPECT_EQ(HeldCount(), 1) << "the lock stays";

    // Without STICK in the mask no codes come back, and only the mask's keys go.
    ToggleHeldKey(&shift);
    EXPECT_EQ(ReleaseHeldKeys(KEY_TOGGLE), nullptr);
    EXPECT_EQ(HeldCount(), 1);
    EXPECT_EQ(static_cast<KeyDef *>(HeldKeys->data)->code, VK_SHIFT);
    EXPECT_EQ(ReleaseHeldKeys(KEY_DEADKEY), nullptr);
    EXPECT_EQ(HeldCount(), 1);
}

TEST_F(HeldKeysTest, ReplayingTheHeldShiftLeadsToTheShiftedLayoutAndBack) {
    UseLayoutFolder(PENNAKBD_LAYOUTS_DIRECTORY);
    Element *main = LoadLayout(u"English");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ApplyHeldKeys(main, KEY_STICK | KEY_DEADKEY, HELD_NEWEST_FIRST), main)
        << "nothing held";
    KeyDef *shift = KeyWithCode(main, VK_SHIFT, KEY_STICK);
    ASSERT_NE(shift, nullptr);
    ASSERT_NE(shift->flags & KEY_NEWKEYBD, 0u);
    Element *shifted = static_cast<KeyboardLayout *>(shift->target)->keys;
    ToggleHeldKey(shift);
    EXPECT_EQ(ApplyHeldKeys(main, KEY_STICK | KEY_DEADKEY, HELD_NEWEST_FIRST), shifted);
    EXPECT_EQ(ApplyHeldKeys(shifted, KEY_STICK, HELD_OLDEST_FIRST), main);
    // Held as a lock it is not the layout's sticky Shift: nothing changes.
    LocalFree(ReleaseHeldKeys(KEY_STICK));
    const KeyDef lock = Key(VK_SHIFT, KEY_TOGGLE);
    ToggleHeldKey(&lock);
    EXPECT_EQ(ApplyHeldKeys(main, KEY_STICK | KEY_TOGGLE, HELD_NEWEST_FIRST), main);
}

// Two held keys each leading to a sub-keyboard, where the order of following them decides which
// keyboard shows: newest first follows Control, then Shift from Control's keyboard.
TEST_F(HeldKeysTest, TwoHeldKeysAreFollowedInTheOrderAsked) {
    const std::string folder = testing::TempDir() + "/held_keys_two";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::u16string text =
        u"[Two,T,Main,1]\r\n"
        u"0, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Two,Shift\", 0\r\n"
        u"20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Two,Control\", 0\r\n"
        u"[Two,T,Shift,1]\r\n"
        u"0, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Two,Main\", 0\r\n"
        u"20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Two,ShiftControl\", 0\r\n"
        u"[Two,T,Control,1]\r\n"
        u"0, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Two,ControlShift\", 0\r\n"
        u"20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Two,Main\", 0\r\n"
        u"[Two,T,ShiftControl,1]\r\n"
        u"0, 0, 20, 20, 0, s, 0, 0\r\n"
        u"[Two,T,ControlShift,1]\r\n"
        u"0, 0, 20, 20, 0, c, 0, 0\r\n";
    std::ofstream(folder + "/Two.kbi", std::ios::binary)
        .write(reinterpret_cast<const char *>(text.data()),
               static_cast<std::streamsize>(text.size() * sizeof(char16_t)));
    UseLayoutFolder(folder);
    Element *main = LoadLayout(u"Two");
    ASSERT_NE(main, nullptr);
    ToggleHeldKey(KeyWithCode(main, VK_SHIFT, KEY_STICK));
    ToggleHeldKey(KeyWithCode(main, VK_CONTROL, KEY_STICK)); // the newest
    Element *newestFirst = ApplyHeldKeys(main, KEY_STICK, HELD_NEWEST_FIRST);
    Element *oldestFirst = ApplyHeldKeys(main, KEY_STICK, HELD_OLDEST_FIRST);
    ASSERT_NE(newestFirst, nullptr);
    ASSERT_NE(oldestFirst, nullptr);
    EXPECT_NE(KeyWithCode(newestFirst, 'c', 0), nullptr) << "Control's keyboard, then its Shift";
    EXPECT_NE(KeyWithCode(oldestFirst, 's', 0), nullptr) << "Shift's keyboard, then its Control";
    std::filesystem::remove_all(folder);
}

TEST_F(HeldKeysTest, ARequestedLayoutIsLoadedOnceAndTextsAreNeverRequests) {
    UseLayoutFolder(PENNAKBD_TEST_DATA "/switch_ring");
    Element *a = LoadLayout(u"A");
    ASSERT_NE(a, nullptr);
    KeyDef *toNext = KeyWithCode(a, 's', KEY_SWITCH);
    ASSERT_NE(toNext, nullptr);
    ASSERT_NE(toNext->target, nullptr);
    const int before = loads;
    Element *b = ResolveKeyTarget(toNext);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(loads, before + 1);
    EXPECT_NE(toNext->flags & KEY_NEWKEYBD, 0u);
    EXPECT_EQ(ResolveKeyTarget(toNext), b);
    EXPECT_EQ(loads, before + 1) << "loaded on the first tap only";

    WCHAR text[] = u"Hello";
    KeyDef macro = Key('h', KEY_MACRO | KEY_STICK);
    macro.target = text;
    EXPECT_EQ(ResolveKeyTarget(&macro), nullptr);
    EXPECT_EQ(loads, before + 1);
    EXPECT_EQ(macro.target, text);
    EXPECT_EQ(ResolveKeyTarget(nullptr), nullptr);
}

TEST_F(HeldKeysTest, ALayoutChangeShowsTheHeldKeysItHasAndReleasesTheOthers) {
    // The layout shown before: Shift shown held, and a letter.
    KeyDef *oldShift = AddKey(0, 0, 20, 20, KEY_STICK | KEY_SHOWN_HELD, VK_SHIFT);
    AddKey(20, 0, 20, 20, 0, 'a');
    Element *previous = keys;
    keys = nullptr;
    // The layout shown now: Shift again, and another letter; no Control.
    KeyDef *newShift = AddKey(0, 0, 20, 20, KEY_STICK, VK_SHIFT);
    AddKey(20, 0, 20, 20, 0, 'b');
    const KeyDef control = Key(VK_CONTROL, KEY_STICK);
    ToggleHeldKey(oldShift);
    ToggleHeldKey(&control);

    ReconcileHeldKeys(previous, keys);
    EXPECT_EQ(oldShift->flags & KEY_SHOWN_HELD, 0u);
    EXPECT_NE(newShift->flags & KEY_SHOWN_HELD, 0u);
    ASSERT_EQ(HeldCount(), 1) << "Control is released";
    EXPECT_EQ(static_cast<KeyDef *>(HeldKeys->data)->code, VK_SHIFT);
    EXPECT_EQ(static_cast<KeyDef *>(HeldKeys->data)->flags & KEY_TEMP_MARK, 0u);
    // To paint again: the old letter's place, and the held Control that no key of the old
    // layout showed.
    std::vector<WORD> dirty;
    for (Element *node = DirtyKeys; node != nullptr; node = node->next) {
        dirty.push_back(static_cast<KeyDef *>(node->data)->code);
    }
    EXPECT_EQ(dirty, (std::vector<WORD>{VK_CONTROL, 'a'}));
    FreeList(&previous, TRUE);
}

} // namespace
