// The item list of a list box, apart from any window.
#include "controls/list_items.h"

#include "controls/list_order.h"

#include <new>
#include <stdexcept>

int ListItems::InsertAt(int index, LPCWSTR text) {
    try {
        items_.insert(items_.begin() + index, Item{text != nullptr ? text : u"", 0, false});
    } catch (const std::bad_alloc &) {
        return LB_ERRSPACE;
    } catch (const std::length_error &) {
        return LB_ERRSPACE;
    }
    return index;
}

// Windows halves the list until it meets an equal string or runs out; a new string equal to one
// already there goes before the one the halving met.
int ListItems::SortedPlace(const std::u16string &text) const {
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = CompareListTexts(items_[static_cast<size_t>(middle)].text, text);
        if (order == 0) {
            return middle;
        }
        if (order > 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

int ListItems::Add(LPCWSTR text) {
    const int place = sorted_ ? SortedPlace(text != nullptr ? text : u"") : Count();
    return InsertAt(place, text);
}

int ListItems::Insert(int index, LPCWSTR text) {
    if (index < -1 || index > Count()) {
        return LB_ERR;
    }
    return InsertAt(index == -1 ? Count() : index, text);
}

bool ListItems::Delete(int index) {
    if (!Valid(index)) {
        return false;
    }
    items_.erase(items_.begin() + index);
    return true;
}

void ListItems::Clear() {
    items_.clear();
}

const std::u16string *ListItems::Text(int index) const {
    return Valid(index) ? &items_[static_cast<size_t>(index)].text : nullptr;
}

bool ListItems::SetData(int index, LPARAM data) {
    if (!Valid(index)) {
        return false;
    }
    items_[static_cast<size_t>(index)].data = data;
    return true;
}

bool ListItems::Data(int index, LPARAM &data) const {
    if (!Valid(index)) {
        return false;
    }
    data = items_[static_cast<size_t>(index)].data;
    return true;
}

bool ListItems::Selected(int index) const {
    return Valid(index) && items_[static_cast<size_t>(index)].selected;
}

bool ListItems::Select(int index, bool selected) {
    if (!Valid(index) || items_[static_cast<size_t>(index)].selected == selected) {
        return false;
    }
    items_[static_cast<size_t>(index)].selected = selected;
    return true;
}

int ListItems::SelectedCount() const {
    int count = 0;
    for (const Item &item : items_) {
        count += item.selected ? 1 : 0;
    }
    return count;
}

int ListItems::Find(int start, LPCWSTR text, bool exact) const {
    const int count = Count();
    if (text == nullptr || text[0] == 0 || count == 0) {
        return LB_ERR;
    }
    if (!Valid(start)) {
        start = -1;
    }
    const std::u16string wanted = text;
    const size_t length = wanted.size();
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        const std::u16string &item = items_[static_cast<size_t>(index)].text;
        const bool matches =
            exact ? CompareListTexts(item, wanted) == 0
                  : item.size() >= length && _wcsnicmp(item.c_str(), wanted.c_str(), length) == 0;
        if (matches) {
            return index;
        }
    }
    return LB_ERR;
}
