// The items of a list box: strings with their item data and whether each is selected, their
// sorted places, and the searches of LB_FINDSTRING and LB_FINDSTRINGEXACT. Indices are as Win32
// gives them; LB_ERR (-1) is "none" or a failure.
#ifndef PLATFORM_CONTROLS_LIST_ITEMS_H
#define PLATFORM_CONTROLS_LIST_ITEMS_H

#include <windows.h>

#include <string>
#include <vector>

class ListItems {
  public:
    // Sorted items (LBS_SORT) take their place by LB_ADDSTRING in the list box's order.
    explicit ListItems(bool sorted = false) : sorted_(sorted) {}

    int Count() const {
        return static_cast<int>(items_.size());
    }
    bool Valid(int index) const {
        return index >= 0 && index < Count();
    }
    // At the end, or at its sorted place: the new item's index, or LB_ERRSPACE when memory runs
    // out. No text is an empty one, as on Windows.
    int Add(LPCWSTR text);
    // Before the item at index, or at the end for -1, never sorted; past the end is LB_ERR.
    int Insert(int index, LPCWSTR text);
    bool Delete(int index);
    void Clear();

    // Null for an index outside the list.
    const std::u16string *Text(int index) const;
    bool SetData(int index, LPARAM data);
    bool Data(int index, LPARAM &data) const;
    bool Selected(int index) const;
    // False when the index is outside the list or the item already was so.
    bool Select(int index, bool selected);
    int SelectedCount() const;

    // The first item after start whose text begins with text (exact: is text in the list's
    // order), without regard to case, going on from the top back to start itself. A start
    // outside the list searches from the top. LB_ERR when none matches or text is empty.
    int Find(int start, LPCWSTR text, bool exact) const;

  private:
    struct Item {
        std::u16string text;
        LPARAM data = 0;
        bool selected = false;
    };
    int SortedPlace(const std::u16string &text) const;
    int InsertAt(int index, LPCWSTR text);

    std::vector<Item> items_;
    bool sorted_;
};

#endif
