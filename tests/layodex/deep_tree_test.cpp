// Layout trees of any depth: loading, every walk and releasing fit a device thread's stack, and
// a tree with shared and cyclic sub-keyboards is walked in the same order whatever its size.
#include <gtest/gtest.h>

#include <functional>
#include <pthread.h>

#include "layodex_test_support.h"

namespace {

const size_t DeviceThreadStack = 256 * 1024;
const size_t SaveCapacity = 1250000;

void RunOnDeviceThreadStack(const std::function<void()> &work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, DeviceThreadStack), 0);
    pthread_t thread;
    void *(*run)(void *) = [](void *argument) -> void * {
        (*(const std::function<void()> *)argument)();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, (void *)&work), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

std::string ChainSubName(int depth) {
    return depth == 0 ? "Main" : "S" + std::to_string(depth);
}

// Each layout's first key leads one deeper; the deepest holds a single "z".
std::string ChainText(int depth) {
    std::string text;
    for (int i = 0; i < depth; i++) {
        text += "[D,D," + ChainSubName(i) + ",1]\n";
        if (i + 1 < depth)
            text += "0,0,1,1,NEWKEYBD,a,\"D," + ChainSubName(i + 1) + "\",0\n";
        else
            text += "0,0,1,1,,z,0,0\n";
    }
    return text;
}

// The layouts from the top of the chain down, each reached through its parent's first key.
std::vector<KeyboardLayout *> ChainLayouts(KeyboardLayout *top) {
    std::vector<KeyboardLayout *> chain;
    for (KeyboardLayout *layout = top; layout != nullptr;) {
        chain.push_back(layout);
        KeyDef *first = (KeyDef *)FindLastElement(layout->keys)->data;
        layout = (first->flags & KEY_NEWKEYBD) != 0 ? (KeyboardLayout *)first->target : nullptr;
    }
    return chain;
}

size_t CountHeaders(const WCHAR *text) {
    size_t headers = 0;
    for (; *text != 0; text++)
        headers += *text == '[';
    return headers;
}

TEST(DeepTrees, AChainTwentyThousandDeepLoadsWalksSavesAndReleasesOnADeviceStack) {
    const int depth = 20000;
    TemporaryDirectory directory;
    directory.WriteLayoutFile("deep.kbi", ChainText(depth));
    std::vector<WCHAR> saved(SaveCapacity, u'#');
    RunOnDeviceThreadStack([&] {
        LoadedLayouts layouts(directory.Path());
        KeyboardLayout *main = layouts.Load("D");
        ASSERT_NE(main, nullptr);
        std::vector<KeyboardLayout *> chain = ChainLayouts(main);
        ASSERT_EQ(chain.size(), (size_t)depth);
        KeyboardLayout *deepest = chain.back();
        EXPECT_EQ(NameOf(deepest), "D/S19999");
        // A key's number comes after those of everything below it: the deepest key is first.
        for (int i = 0; i + 2 < depth; i++) {
            EXPECT_EQ(KeysInListOrder(chain[i])[0]->identity,
                      KeysInListOrder(chain[i + 1])[0]->identity + 1)
                << i;
        }

        KeyDef *z = KeysInListOrder(deepest)[0];
        EXPECT_EQ(FindKeyByUnicode(main->keys, 'z', 0, 0), z);
        KeyDef *lowest = KeysInListOrder(chain[depth - 2])[0];
        EXPECT_EQ(FindKeyByIdentity(main->keys, lowest->identity), lowest);
        EXPECT_EQ(FindKeyBoardByNumber(main, depth - 1), deepest);
        EXPECT_EQ(FindKeyBoardByNumber(main, depth), nullptr);
        EXPECT_EQ(FindKeyBoardByUnicode(main, 'a'), chain[1]);
        z->flags |= KEY_TEMP_MARK;
        EXPECT_EQ(ClearTempFlag(main), 1);
        EXPECT_EQ(z->flags & KEY_TEMP_MARK, 0u);

        WCHAR *position = saved.data();
        EXPECT_EQ(SaveKeyBoard(main, &position), 1);
        EXPECT_EQ(CountHeaders(saved.data()), (size_t)depth);
        EXPECT_EQ(SaveKeyBoardsNames(layouts.Catalogue(), ToPath("saved.kbi").c_str()), 1);

        KeyboardLayout *copy = CopyKeyBoard(main);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(ReplaceKbdNames(copy, u"E", u"x", nullptr), 1);
        std::vector<KeyboardLayout *> copied = ChainLayouts(copy);
        ASSERT_EQ(copied.size(), (size_t)depth);
        EXPECT_EQ(NameOf(copied.back()), "E/xS19999");
        EXPECT_EQ(NameOf(deepest), "D/S19999");

        EXPECT_EQ(UnLoadKeyBoard(copy), 1);
        EXPECT_EQ(UnLoadKeyBoard(main), 1);
        EXPECT_EQ(deepest->keys, nullptr);
    });

    // What was saved reads back as the same chain.
    TemporaryDirectory again;
    std::u16string savedText(saved.data());
    WriteBytes(again.File("again.kbi"),
               std::string((const char *)savedText.data(), savedText.size() * sizeof(WCHAR)));
    RunOnDeviceThreadStack([&] {
        LoadedLayouts layouts(again.Path());
        KeyboardLayout *main = layouts.Load("D");
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(ChainLayouts(main).size(), (size_t)depth);
    });
}

std::vector<std::string> HeaderNames(const WCHAR *text) {
    std::vector<std::string> names;
    std::u16string all(text);
    for (size_t open = all.find(u'['); open != std::u16string::npos;
         open = all.find(u'[', open + 1)) {
        size_t close = all.find(u']', open);
        names.push_back(Utf8(all.substr(open + 1, close - open - 1)));
    }
    return names;
}

// Main leads to A and B, both lead to C, and B leads back to Main.
const char *const SharedTree = "[T,T,Main,1]\n"
                               "0,0,1,1,NEWKEYBD,a,\"T,A\",0\n"
                               "1,0,1,1,NEWKEYBD,b,\"T,B\",0\n"
                               "[T,T,A,1]\n"
                               "0,0,1,1,NEWKEYBD,c,\"T,C\",0\n"
                               "[T,T,B,1]\n"
                               "0,0,1,1,NEWKEYBD,c,\"T,C\",0\n"
                               "1,0,1,1,NEWKEYBD,m,\"T,Main\",0\n"
                               "[T,T,C,1]\n"
                               "0,0,1,1,,z,0,0\n";

TEST(DeepTrees, SharedAndCyclicSubKeyboardsAreWalkedFirstKeyFirst) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("shared.kbi", SharedTree);
    LoadedLayouts layouts(directory.Path());
    KeyboardLayout *main = layouts.Load("T");
    ASSERT_NE(main, nullptr);
    KeyDef *toA = KeysInListOrder(main)[0], *toB = KeysInListOrder(main)[1];
    KeyboardLayout *a = (KeyboardLayout *)toA->target, *b = (KeyboardLayout *)toB->target;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    KeyDef *aToC = KeysInListOrder(a)[0], *bToC = KeysInListOrder(b)[0];
    KeyDef *bToMain = KeysInListOrder(b)[1];
    KeyboardLayout *c = (KeyboardLayout *)aToC->target;
    EXPECT_EQ(bToC->target, c);
    EXPECT_EQ(bToMain->target, main);

    // Numbered as each key's load returns: A's key first, Main's key to B last.
    int base = aToC->identity;
    EXPECT_EQ(toA->identity, base + 1);
    EXPECT_EQ(bToC->identity, base + 2);
    EXPECT_EQ(bToMain->identity, base + 3);
    EXPECT_EQ(toB->identity, base + 4);

    // Where two keys lead to C, the one met first (through A) wins.
    EXPECT_EQ(FindKeyByUnicode(main->keys, 'c', 0, 0), aToC);
    EXPECT_EQ(FindKeyBoardByNumber(main, 2), c);
    EXPECT_EQ(FindKeyBoardByNumber(b, 1), c);
    EXPECT_EQ(FindKeyBoardByNumber(b, 2), a);

    std::vector<WCHAR> text(SaveCapacity);
    WCHAR *position = text.data();
    ASSERT_EQ(SaveKeyBoard(main, &position), 1);
    std::vector<std::string> order = {"T,T,Main,1", "T,T,A,1", "T,T,C,1", "T,T,B,1"};
    EXPECT_EQ(HeaderNames(text.data()), order);

    KeyboardLayout *copy = CopyKeyBoard(b);
    ASSERT_NE(copy, nullptr);
    position = text.data();
    ASSERT_EQ(SaveKeyBoard(copy, &position), 1);
    order = {"T,T,B,1", "T,T,C,1", "T,T,Main,1", "T,T,A,1"};
    EXPECT_EQ(HeaderNames(text.data()), order);
    KeyboardLayout *copiedMain = (KeyboardLayout *)KeysInListOrder(copy)[1]->target;
    EXPECT_NE(copiedMain, main);
    EXPECT_EQ(KeysInListOrder(copiedMain)[1]->target, copy); // the cycle closes on the copy
}

} // namespace
