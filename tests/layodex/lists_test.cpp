// The list exports every host builds its lists with.
#include <gtest/gtest.h>

#include "layodex_test_support.h"

namespace {

TEST(Lists, NewNodesGoToTheHeadAndListOrderIsInsertionOrder) {
    int a = 1, b = 2, c = 3;
    Element *head = nullptr;
    ASSERT_EQ(AddElement(&head, &a), 1);
    ASSERT_EQ(AddElement(&head, &b), 1);
    ASSERT_EQ(AddElement(&head, &c), 1);
    EXPECT_EQ(head->data, &c);
    EXPECT_EQ(head->prev, nullptr);
    Element *last = FindLastElement(head);
    EXPECT_EQ(last->data, &a);
    EXPECT_EQ(last->next, nullptr);
    std::vector<void *> walked;
    for (Element *node = last; node != nullptr; node = node->prev)
        walked.push_back(node->data);
    EXPECT_EQ(walked, (std::vector<void *>{&a, &b, &c}));
    EXPECT_EQ(ReleaseAll(&head, 0), 1);
    EXPECT_EQ(head, nullptr);
}

TEST(Lists, ExtractingRelinksNeighboursAndTheHead) {
    int a = 1, b = 2, c = 3;
    Element *head = nullptr;
    AddElement(&head, &a);
    AddElement(&head, &b);
    AddElement(&head, &c);

    EXPECT_EQ(ExtractElement(&head, head, 0), 1);
    ASSERT_EQ(head->data, &b);
    EXPECT_EQ(head->prev, nullptr);

    Element *middle = FindLastElement(head)->prev; // b is the head now; a is the last
    EXPECT_EQ(middle, head);
    EXPECT_EQ(ExtractElement(&head, FindLastElement(head), 0), 1);
    EXPECT_EQ(head->data, &b);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(ExtractElement(&head, nullptr, 0), 0);
    ReleaseAll(&head, 0);
}

TEST(Lists, FreeDataUsesOnlyTheLowByteOfTheSwitch) {
    Element *head = nullptr;
    void *data = LocalAlloc(LPTR, 16);
    int kept = 0;
    AddElement(&head, &kept);
    AddElement(&head, data);
    EXPECT_EQ(ExtractElement(&head, head, 0x101), 1); // frees data
    EXPECT_EQ(ExtractElement(&head, head, 0x100), 1); // leaves &kept alone
    EXPECT_EQ(head, nullptr);
}

TEST(Lists, EmptyListsAndNullNodes) {
    Element *head = nullptr;
    EXPECT_EQ(ReleaseAll(&head, 1), 1);
    EXPECT_EQ(head, nullptr);
    EXPECT_EQ(FindLastElement(nullptr), nullptr);
}

} // namespace
