// Dialog templates from arbitrary bytes: a table and up to 16 controls with any styles, any
// coordinates, any point size and short texts (or none), read at base units from the bytes too,
// zero included; a template that reads is made into a dialog on the host's own stack, given a few
// keys and questions, and destroyed again.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <dialog_templates.h>

#include "dialogs/dialogs.h"
#include "user/window_state.h"

namespace {

// The input read from the front, as zeros once it runs out.
class Input {
  public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() {
        return offset_ < size_ ? data_[offset_++] : 0;
    }
    uint16_t Word() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint32_t Long() {
        const uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    short Coordinate() {
        return static_cast<short>(Word());
    }
    // Up to 15 characters; a byte with its top bit set brings a whole 16-bit unit instead.
    std::u16string Text() {
        const int length = Byte() % 16;
        std::u16string text;
        for (int i = 0; i < length; ++i) {
            uint16_t unit = Byte();
            if ((unit & 0x80) != 0) {
                unit = Word();
            }
            text.push_back(static_cast<char16_t>(unit != 0 ? unit : u'?'));
        }
        return text;
    }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t offset_ = 0;
};

// The strings a template points at, kept for as long as it is read.
struct Texts {
    std::deque<std::u16string> kept; // grows without moving what it holds
    // The text, or no text at all when the choice says so.
    LPCWSTR Keep(std::u16string text, bool none) {
        if (none) {
            return nullptr;
        }
        kept.push_back(std::move(text));
        return kept.back().c_str();
    }
};

const char16_t *const knownClasses[] = {u"BUTTON", u"STATIC", u"COMBOBOX", u"Nope"};

INT_PTR CALLBACK FuzzDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

bool Started() {
    SetUpScreen(240, 320);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = u"FuzzParent";
    return RegisterClassW(&windowClass) != 0;
}

void Exercise(HWND dialog, Input &input) {
    RECT rect = {input.Coordinate(), input.Coordinate(), input.Coordinate(), input.Coordinate()};
    MapDialogRect(dialog, &rect);
    SendMessageW(dialog, DM_GETDEFID, 0, 0);
    GetDlgItem(dialog, input.Word());
    static const WPARAM keys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, 'A'};
    for (int i = input.Byte() % 4; i > 0; --i) {
        MSG message = {};
        message.hwnd = dialog;
        message.message = WM_KEYDOWN;
        message.wParam = keys[input.Byte() % 4];
        IsDialogMessageW(dialog, &message);
    }
}

} // namespace

// Fontconfig keeps what it loads for a family it has not seen before behind offsets rather than
// pointers, out of the leak checker's sight until FcFini at exit: a new face name from the input
// would otherwise read as a leak.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const bool started = Started();
    if (!started) {
        return 0;
    }
    Input input(data, size);
    Texts texts;
    const uint8_t choices = input.Byte();

    std::vector<DIALOG_ITEM_TEMPLATE> items(input.Byte() % 17);
    for (DIALOG_ITEM_TEMPLATE &item : items) {
        const uint8_t itemChoices = input.Byte();
        item.id = input.Word();
        const int kind = itemChoices % 6;
        if (kind < 4) {
            item.className = knownClasses[kind];
        } else {
            item.className = texts.Keep(input.Text(), kind == 5);
        }
        item.text = texts.Keep(input.Text(), (itemChoices & 0x08) != 0);
        item.style = input.Long();
        item.exStyle = input.Long();
        item.x = input.Coordinate();
        item.y = input.Coordinate();
        item.cx = input.Coordinate();
        item.cy = input.Coordinate();
    }
    DIALOG_TEMPLATE_TABLE table = {};
    table.style = input.Long();
    table.exStyle = input.Long();
    table.x = input.Coordinate();
    table.y = input.Coordinate();
    table.cx = input.Coordinate();
    table.cy = input.Coordinate();
    table.caption = texts.Keep(input.Text(), (choices & 0x01) != 0);
    table.pointSize = input.Word();
    table.faceName = texts.Keep(input.Text(), (choices & 0x02) != 0);
    // Never more controls than the array holds, as a count beyond it would be a bad pointer; no
    // array at all may still claim one control, which must be refused unread.
    const bool noItems = (choices & 0x04) != 0;
    table.items = noItems ? nullptr : items.data();
    table.itemCount = noItems ? input.Byte() % 2 : static_cast<UINT>(items.size());
    if ((choices & 0x08) != 0 && table.itemCount > 0) {
        table.itemCount = input.Byte() % table.itemCount;
    }
    const size_t tableSize = (choices & 0x10) != 0 ? input.Byte() % sizeof table : sizeof table;
    const DialogBaseUnits base = {static_cast<short>(input.Word()),
                                  static_cast<short>(input.Word())};

    DialogLayout layout;
    if (!ReadDialogTemplate(&table, tableSize, base, layout)) {
        return 0;
    }
    if (layout.controls.size() != table.itemCount) {
        __builtin_trap();
    }
    HWND parent = nullptr;
    if ((choices & 0x20) != 0) {
        const short x = input.Coordinate();
        const short y = input.Coordinate();
        const short width = input.Coordinate();
        const short height = input.Coordinate();
        parent = CreateWindowExW(0, u"FuzzParent", u"", WS_VISIBLE, x, y, width, height, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    HWND dialog = CreateDialogFromLayout(nullptr, layout, parent,
                                         (choices & 0x40) != 0 ? FuzzDialogProc : nullptr, 0,
                                         (choices & 0x80) != 0);
    if (dialog != nullptr) {
        Exercise(dialog, input);
        if (IsWindow(dialog)) {
            DestroyWindow(dialog);
        }
    }
    if (parent != nullptr) {
        DestroyWindow(parent);
    }
    return 0;
}
