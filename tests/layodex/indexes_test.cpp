// The library's lookup structures: the pointer table, the name index and the work stack, each
// checked against a plain model over many entries, so that growth, collisions and removal in the
// middle of a run of neighbours are all met.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "name_index.h"
#include "pointer_table.h"
#include "work_stack.h"

namespace {

TEST(PointerTable, AgreesWithAMapThroughGrowthAndRemoval) {
    std::vector<char> objects(5000);
    PointerTable table = {};
    std::map<const void *, void *> model;
    std::mt19937 random(7);
    for (int round = 0; round < 40000; round++) {
        const void *key = &objects[random() % objects.size()];
        void *value = (void *)(intptr_t)(round + 1);
        if (random() % 3 == 0) {
            RemoveFromPointerTable(&table, key);
            model.erase(key);
        } else {
            ASSERT_TRUE(AddToPointerTable(&table, key, value));
            model[key] = value;
        }
    }
    EXPECT_EQ(table.count, (int)model.size());
    for (const char &object : objects) {
        PointerSlot *slot = FindInPointerTable(&table, &object);
        auto expected = model.find(&object);
        ASSERT_EQ(slot != nullptr, expected != model.end());
        if (slot != nullptr) {
            EXPECT_EQ(slot->value, expected->second);
        }
    }
    EXPECT_FALSE(AddToPointerTable(&table, nullptr, nullptr));
    EXPECT_EQ(FindInPointerTable(&table, nullptr), nullptr);
    ReleasePointerTable(&table);
    EXPECT_EQ(FindInPointerTable(&table, objects.data()), nullptr);
}

// Half full at most: a table of sixteen slots takes an eighth entry and grows for a ninth.
TEST(PointerTable, GrowsOnlyPastHalfFull) {
    char objects[9];
    PointerTable table = {};
    for (int i = 0; i < 8; i++)
        ASSERT_TRUE(AddToPointerTable(&table, &objects[i], nullptr));
    EXPECT_EQ(table.capacity, 16);
    ASSERT_TRUE(AddToPointerTable(&table, &objects[8], nullptr));
    EXPECT_EQ(table.capacity, 32);
    for (char &object : objects)
        EXPECT_NE(FindInPointerTable(&table, &object), nullptr);
    ReleasePointerTable(&table);
}

std::vector<intptr_t> Chain(const NameIndex &index, DWORD hash) {
    std::vector<intptr_t> items;
    for (int entry = FirstNamed(&index, hash); entry >= 0; entry = NextNamed(&index, entry))
        items.push_back((intptr_t)index.entries[entry].item);
    return items;
}

// Two hashes that share a chain at every size, and a third of its own: each gives only its
// items, newest first, before and after the chains grow.
TEST(NameIndex, GivesEachHashItsItemsNewestFirstAcrossGrowth) {
    NameIndex index = {};
    const DWORD shared = 5, sharing = 5 + (1u << 20), alone = 6;
    EXPECT_EQ(FirstNamed(&index, shared), -1);
    std::vector<intptr_t> expectShared, expectSharing, expectAlone;
    for (intptr_t i = 1; i <= 3000; i++) {
        DWORD hash = i % 3 == 0 ? shared : i % 3 == 1 ? sharing : alone;
        ASSERT_TRUE(AddToNameIndex(&index, hash, (void *)i));
        std::vector<intptr_t> &expected = hash == shared    ? expectShared
                                          : hash == sharing ? expectSharing
                                                            : expectAlone;
        expected.insert(expected.begin(), i);
        if (i == 16 || i == 17 || i == 3000) {
            EXPECT_EQ(Chain(index, shared), expectShared) << i;
            EXPECT_EQ(Chain(index, sharing), expectSharing) << i;
            EXPECT_EQ(Chain(index, alone), expectAlone) << i;
        }
    }
    EXPECT_EQ(FirstNamed(&index, 7), -1);
    ReleaseNameIndex(&index);
    EXPECT_EQ(FirstNamed(&index, shared), -1);
}

TEST(NameIndex, NamesThatMatchWhateverTheirCaseHashAlike) {
    const WCHAR *pairs[][2] = {{u"English", u"ENGLISH"},
                               {u"main", u"Main"},
                               {u"\u00e4\u00f6\u00fc", u"\u00c4\u00d6\u00dc"},
                               {u"", u""}};
    for (auto &pair : pairs) {
        EXPECT_TRUE(SameName(pair[0], pair[1]));
        EXPECT_EQ(HashName(pair[0], NAME_HASH_START), HashName(pair[1], NAME_HASH_START));
    }
    EXPECT_FALSE(SameName(u"English", u"Englis"));
    EXPECT_FALSE(SameName(u"a", u"b"));
    // Where one name ends counts: the same letters split two ways hash apart.
    EXPECT_NE(HashName(u"c", HashName(u"ab", NAME_HASH_START)),
              HashName(u"bc", HashName(u"a", NAME_HASH_START)));
}

TEST(WorkStack, KeepsFramesInOrderAndReservedFramesInPlace) {
    WorkStack stack;
    StartWorkStack(&stack, sizeof(int));
    EXPECT_EQ(TopWork(&stack), nullptr);
    ASSERT_TRUE(ReserveWork(&stack, 100));
    int first = 1;
    ASSERT_TRUE(PushWork(&stack, &first));
    int *top = (int *)TopWork(&stack);
    for (int i = 2; i <= 100; i++)
        ASSERT_TRUE(PushWork(&stack, &i));
    EXPECT_EQ(*top, 1); // still in place: the reserve covered every push
    for (int i = 101; i <= 5000; i++)
        ASSERT_TRUE(PushWork(&stack, &i));
    for (int i = 5000; i >= 1; i--) {
        ASSERT_EQ(*(int *)TopWork(&stack), i);
        PopWork(&stack);
    }
    EXPECT_EQ(TopWork(&stack), nullptr);
    PopWork(&stack);
    EXPECT_EQ(stack.count, 0);
    ReleaseWorkStack(&stack);
}

} // namespace
