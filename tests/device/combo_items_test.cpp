// The item list of a combo box on its own: adding, inserting and deleting with the selection kept
// on its item, item data, and the search rules of CB_FINDSTRING and its kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/combo_items.h"

namespace {

ComboItems Fruit() {
    ComboItems items;
    for (const char16_t *text : {u"Apple", u"apricot", u"Banana", u"", u"APPLE", u"Cherry"})
        items.Add(text);
    return items;
}

std::vector<std::u16string> Texts(const ComboItems &items) {
    std::vector<std::u16string> texts;
    for (int i = 0; i < items.Count(); ++i)
        texts.push_back(*items.Text(i));
    return texts;
}

struct SearchCase {
    int start;
    const char16_t *text;
    bool exact;
    int expected;
};

class ComboItemsSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(ComboItemsSearch, FindsTheFirstMatchAfterTheStartGoingRound) {
    const SearchCase &search = GetParam();
    const ComboItems items = Fruit();
    EXPECT_EQ(items.Find(search.start, search.text, search.exact), search.expected);
}

// Items: 0 "Apple", 1 "apricot", 2 "Banana", 3 "", 4 "APPLE", 5 "Cherry".
INSTANTIATE_TEST_SUITE_P(
    Rules, ComboItemsSearch,
    testing::Values(
        // A prefix, without regard to case, from the top or after the start.
        SearchCase{-1, u"ap", false, 0}, SearchCase{0, u"ap", false, 1},
        SearchCase{1, u"ap", false, 4}, SearchCase{-1, u"APR", false, 1},
        // Past the end the search goes on from the top, and ends with the start item itself.
        SearchCase{4, u"ap", false, 0}, SearchCase{5, u"a", false, 0},
        SearchCase{2, u"banana", true, 2}, SearchCase{5, u"cherry", false, 5},
        // Exact matches the whole text only.
        SearchCase{-1, u"apple", true, 0}, SearchCase{0, u"apple", true, 4},
        SearchCase{4, u"apple", true, 0}, SearchCase{-1, u"appl", true, CB_ERR},
        SearchCase{-1, u"Apples", false, CB_ERR}, SearchCase{-1, u"x", false, CB_ERR},
        // The empty prefix matches every item; the empty exact text only the empty item.
        SearchCase{-1, u"", false, 0}, SearchCase{2, u"", false, 3}, SearchCase{-1, u"", true, 3},
        SearchCase{3, u"", true, 3},
        // A start outside the list searches the whole list from the top.
        SearchCase{99, u"b", false, 2}, SearchCase{6, u"a", false, 0},
        SearchCase{-7, u"c", false, 5}, SearchCase{-1, nullptr, false, CB_ERR}));

TEST(ComboItems, AnEmptyListFindsNothing) {
    ComboItems items;
    EXPECT_EQ(items.Find(-1, u"", false), CB_ERR);
    EXPECT_EQ(items.Find(0, u"a", true), CB_ERR);
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.Selection(), CB_ERR);
}

TEST(ComboItems, AddingInsertingAndDeletingKeepTheSelectedItem) {
    ComboItems items;
    EXPECT_EQ(items.Add(u"one"), 0);
    EXPECT_EQ(items.Add(u"two"), 1);
    EXPECT_TRUE(items.Select(1));
    // Before the selection it moves along; at the end it stays.
    EXPECT_EQ(items.Insert(0, u"zero"), 0);
    EXPECT_EQ(items.Selection(), 2);
    EXPECT_EQ(items.Insert(-1, u"three"), 3);
    EXPECT_EQ(items.Insert(4, u"four"), 4); // just past the last is the end
    EXPECT_EQ(items.Selection(), 2);
    EXPECT_EQ(Texts(items),
              (std::vector<std::u16string>{u"zero", u"one", u"two", u"three", u"four"}));
    // Indices past the end, below -1, and no text fail.
    EXPECT_EQ(items.Insert(6, u"six"), CB_ERR);
    EXPECT_EQ(items.Insert(-2, u"minus"), CB_ERR);
    EXPECT_EQ(items.Insert(0, nullptr), CB_ERR);
    EXPECT_EQ(items.Add(nullptr), CB_ERR);
    EXPECT_EQ(items.Count(), 5);

    // Deleting answers how many are left.
    EXPECT_EQ(items.Delete(0), 4);
    EXPECT_EQ(items.Selection(), 1);
    EXPECT_EQ(items.Delete(3), 3);
    EXPECT_EQ(items.Selection(), 1);
    EXPECT_EQ(items.Delete(3), CB_ERR);
    EXPECT_EQ(items.Delete(-1), CB_ERR);
    // The selected item gone, nothing is selected.
    EXPECT_EQ(items.Delete(1), 2);
    EXPECT_EQ(items.Selection(), CB_ERR);
    EXPECT_EQ(Texts(items), (std::vector<std::u16string>{u"one", u"three"}));
}

TEST(ComboItems, SelectingOutsideTheListClearsTheSelection) {
    ComboItems items = Fruit();
    struct Case {
        int index;
        bool selected;
        int selection;
    };
    const Case cases[] = {{2, true, 2},   {-1, false, -1}, {5, true, 5},
                          {6, false, -1}, {0, true, 0},    {-2, false, -1}};
    for (const Case &c : cases) {
        EXPECT_EQ(items.Select(c.index), c.selected) << c.index;
        EXPECT_EQ(items.Selection(), c.selection) << c.index;
    }
    items.Select(3);
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.Selection(), CB_ERR);
}

TEST(ComboItems, ItemDataBelongsToItsItem) {
    ComboItems items = Fruit();
    EXPECT_TRUE(items.SetData(2, 42));
    EXPECT_TRUE(items.SetData(5, -7));
    EXPECT_FALSE(items.SetData(6, 1));
    EXPECT_FALSE(items.SetData(-1, 1));
    items.Insert(0, u"first");
    LPARAM data = 0;
    EXPECT_TRUE(items.Data(3, data));
    EXPECT_EQ(data, 42);
    EXPECT_TRUE(items.Data(6, data));
    EXPECT_EQ(data, -7);
    EXPECT_TRUE(items.Data(0, data));
    EXPECT_EQ(data, 0); // a new item starts with none
    EXPECT_FALSE(items.Data(7, data));
    EXPECT_EQ(items.Text(7), nullptr);
    EXPECT_EQ(items.Text(-1), nullptr);
}

TEST(ComboItems, ASortedListPlacesAddedItemsWithoutRegardToCase) {
    ComboItems items(true);
    for (const char16_t *text : {u"pear", u"Apple", u"banana", u"apple", u"Zucchini"})
        items.Add(text);
    EXPECT_EQ(Texts(items),
              (std::vector<std::u16string>{u"Apple", u"apple", u"banana", u"pear", u"Zucchini"}));
    EXPECT_EQ(items.Add(u"cherry"), 3);
    // Inserting puts an item where it is told, sorted or not.
    EXPECT_EQ(items.Insert(0, u"zzz"), 0);
    EXPECT_EQ(*items.Text(0), u"zzz");
}

} // namespace
