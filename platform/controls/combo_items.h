// The items of a combo box: strings with their item data, the selection, and the search rules of
// CB_FINDSTRING, CB_FINDSTRINGEXACT and CB_SELECTSTRING. Indices are as Win32 gives them: CB_ERR
// (-1) is "none" or a failure.
#ifndef PLATFORM_CONTROLS_COMBO_ITEMS_H
#define PLATFORM_CONTROLS_COMBO_ITEMS_H

#include <windows.h>

#include <string>
#include <vector>

class ComboItems {
  public:
    // Sorted items (CBS_SORT) take their place by CB_ADDSTRING in case-blind order.
    explicit ComboItems(bool sorted = false) : sorted_(sorted) {}

    int Count() const {
        return static_cast<int>(items_.size());
    }
    bool Valid(int index) const {
        return index >= 0 && index < Count();
    }
    // At the end, or at its sorted place: the new item's index; CB_ERR for no text, CB_ERRSPACE
    // when memory runs out.
    int Add(LPCWSTR text);
    // Before the item at index, or at the end for -1, never sorted; an index past the end fails.
    int Insert(int index, LPCWSTR text);
    // The number of items left, or CB_ERR. Deleting the selected item leaves none selected.
    int Delete(int index);
    void Clear();

    // Null for an index outside the list.
    const std::u16string *Text(int index) const;
    bool SetData(int index, LPARAM data);
    bool Data(int index, LPARAM &data) const;

    int Selection() const {
        return selection_;
    }
    // Any index outside the list, -1 among them, leaves nothing selected and answers false.
    bool Select(int index);

    // The first item after start whose text begins with text (exact: is text), without regard to
    // case, going on from the top back to start itself. Any start outside the list, -1 among
    // them, searches the whole list from the top. CB_ERR when none matches or text is null.
    int Find(int start, LPCWSTR text, bool exact) const;

  private:
    struct Item {
        std::u16string text;
        LPARAM data = 0;
    };
    int InsertAt(size_t position, LPCWSTR text);

    std::vector<Item> items_;
    int selection_ = -1;
    bool sorted_;
};

#endif
