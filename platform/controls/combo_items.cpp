// The item list of a combo box, apart from any window.
#include "controls/combo_items.h"

#include <new>
#include <stdexcept>

int ComboItems::InsertAt(size_t position, LPCWSTR text) {
    try {
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), Item{text, 0});
    } catch (const std::bad_alloc &) {
        return CB_ERRSPACE;
    } catch (const std::length_error &) {
        return CB_ERRSPACE;
    }
    const int index = static_cast<int>(position);
    // The selected item stays selected when items go in before it.
    if (selection_ >= index) {
        ++selection_;
    }
    return index;
}

int ComboItems::Add(LPCWSTR text) {
    if (text == nullptr) {
        return CB_ERR;
    }
    size_t position = items_.size();
    if (sorted_) {
        // After the items that sort equal, so that equal strings keep the order they came in.
        position = 0;
        while (position < items_.size() && _wcsicmp(items_[position].text.c_str(), text) <= 0) {
            ++position;
        }
    }
    return InsertAt(position, text);
}

int ComboItems::Insert(int index, LPCWSTR text) {
    if (text == nullptr || index < -1 || index > Count()) {
        return CB_ERR;
    }
    return InsertAt(index == -1 ? items_.size() : static_cast<size_t>(index), text);
}

int ComboItems::Delete(int index) {
    if (!Valid(index)) {
        return CB_ERR;
    }
    items_.erase(items_.begin() + index);
    if (selection_ == index) {
        selection_ = -1;
    } else if (selection_ > index) {
        --selection_;
    }
    return Count();
}

void ComboItems::Clear() {
    items_.clear();
    selection_ = -1;
}

const std::u16string *ComboItems::Text(int index) const {
    return Valid(index) ? &items_[static_cast<size_t>(index)].text : nullptr;
}

bool ComboItems::SetData(int index, LPARAM data) {
    if (!Valid(index)) {
        return false;
    }
    items_[static_cast<size_t>(index)].data = data;
    return true;
}

bool ComboItems::Data(int index, LPARAM &data) const {
    if (!Valid(index)) {
        return false;
    }
    data = items_[static_cast<size_t>(index)].data;
    return true;
}

bool ComboItems::Select(int index) {
    selection_ = Valid(index) ? index : -1;
    return selection_ != -1;
}

int ComboItems::Find(int start, LPCWSTR text, bool exact) const {
    const int count = Count();
    if (text == nullptr || count == 0) {
        return CB_ERR;
    }
    if (!Valid(start)) {
        start = -1;
    }
    const size_t length = wcslen(text);
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        const std::u16string &item = items_[static_cast<size_t>(index)].text;
        const bool matches =
            exact ? _wcsicmp(item.c_str(), text) == 0
                  : item.size() >= length && _wcsnicmp(item.c_str(), text, length) == 0;
        if (matches) {
            return index;
        }
    }
    return CB_ERR;
}
