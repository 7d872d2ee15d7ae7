// Driving controls by what they show: buttons and labels by their text, combo box items, message
// box answers, and waiting for windows. Every action is a stylus tap, so programs see what a
// person's tap would give them.
#include "device/automation.h"

#include "controls/combo_box.h"
#include "kernel/scheduler.h"
#include "user/user_thread.h"
#include "kernel/code_pages.h"
#include "user/window_state.h"

#include <algorithm>

namespace {

// The id of a message box's text: what tells a message box from other dialogs.
const int messageBoxTextId = 0xFFFF;

std::string Quoted(const std::u16string &text) {
    return "\"" + Utf8FromWide(text) + "\"";
}

POINT CentreOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Taps the centre of a window after making sure the tap would reach it.
bool TapCentre(HWND window, const std::string &what, std::string &error) {
    // A disabled window, or one inside a disabled window, takes no taps.
    for (const Window *inside = FindWindowObject(window); inside != nullptr;
         inside = inside->parent) {
        if ((inside->style & WS_DISABLED) != 0) {
            error = what + " is disabled";
            return false;
        }
    }
    const POINT centre = CentreOf(window);
    HWND hit = WindowFromPoint(centre);
    if (hit == nullptr || !IsWindowOrDescendant(window, hit)) {
        error = what + " is covered by another window";
        return false;
    }
    TapAt(centre.x, centre.y);
    return true;
}

// The first visible window below top, in Z order, that passes the test.
HWND FindShownChild(HWND top, bool (*matches)(HWND, const std::u16string &),
                    const std::u16string &text) {
    HWND found = nullptr;
    ForEachWindow([&](HWND window, int depth) {
        if (depth == 0) {
            return true;
        }
        if (matches(window, text) && IsWindowVisible(window) && IsWindowOrDescendant(top, window)) {
            found = window;
            return false;
        }
        return true;
    });
    return found;
}

bool HasText(HWND window, const std::u16string &text) {
    return TextOfWindow(window) == text;
}

bool IsButtonNamed(HWND window, const std::u16string &text) {
    return _wcsicmp(ClassOfWindow(window).c_str(), u"BUTTON") == 0 &&
           _wcsicmp(TextOfWindow(window).c_str(), text.c_str()) == 0;
}

// The combo box whose list is open, else the focused one of the program in front, else the only
// one shown (a keyboard's panel never takes the focus).
std::shared_ptr<ComboBox> ComboBoxToPick() {
    std::shared_ptr<ComboBox> open;
    std::shared_ptr<ComboBox> shown;
    int shownCount = 0;
    ForEachWindow([&](HWND window, int) {
        std::shared_ptr<ComboBox> combo = FindComboBox(window);
        if (combo != nullptr && combo->list != nullptr) {
            open = combo;
            return false;
        }
        if (combo != nullptr && IsWindowVisible(window)) {
            shown = combo;
            ++shownCount;
        }
        return true;
    });
    if (open != nullptr) {
        return open;
    }
    Window *front = FindWindowObject(GetForegroundWindow());
    Program *program = front != nullptr ? FindProgram(front->program) : nullptr;
    std::shared_ptr<ComboBox> focused =
        program != nullptr ? FindComboBox(UserInfo(program).focus) : nullptr;
    if (focused != nullptr) {
        return focused;
    }
    return shownCount == 1 ? shown : nullptr;
}

// A point of the open list's client area on the screen.
POINT OnList(const ComboBox &combo, int x, int y) {
    RECT list = {};
    GetWindowRect(combo.list, &list);
    return POINT{list.left + x, list.top + y};
}

void TapMiddleOf(const ComboBox &combo, const RECT &part) {
    const POINT at = OnList(combo, (part.left + part.right) / 2, (part.top + part.bottom) / 2);
    TapAt(at.x, at.y);
}

} // namespace

bool ClickControl(const std::u16string &text, const WindowName *window, std::string &error) {
    for (HWND top = GetWindow(GetDesktopWindow(), GW_CHILD); top != nullptr;
         top = GetWindow(top, GW_HWNDNEXT)) {
        if (!IsWindowVisible(top) || (window != nullptr && !WindowHasName(top, *window))) {
            continue;
        }
        HWND control = FindShownChild(top, HasText, text);
        if (control != nullptr) {
            return TapCentre(control, "the control " + Quoted(text), error);
        }
    }
    error = "no control " + Quoted(text) +
            (window != nullptr ? " in a window " + Quoted(window->text) : std::string());
    return false;
}

bool PickComboItem(const std::u16string &text, std::string &error) {
    std::shared_ptr<ComboBox> combo = ComboBoxToPick();
    if (combo == nullptr) {
        error = "no combo box is open, has the focus or is the only one shown";
        return false;
    }
    const int index = combo->items.Find(-1, text.c_str(), true);
    if (index < 0) {
        error = "the combo box has no item " + Quoted(text);
        return false;
    }
    if (combo->list == nullptr && !TapCentre(combo->window, "the combo box", error)) {
        return false;
    }
    if (combo->list == nullptr) {
        error = "the combo box's list did not open";
        return false;
    }
    // One arrow tap scrolls one row; a list scrolls at most once per item.
    for (int taps = 0; taps <= combo->items.Count() && combo->list != nullptr; ++taps) {
        const ComboListLayout layout = ComboListLayoutOf(*combo);
        if (index < layout.top) {
            TapMiddleOf(*combo, layout.upArrow);
        } else if (index >= layout.top + layout.rows) {
            TapMiddleOf(*combo, layout.downArrow);
        } else {
            const int row = layout.items.top + (index - layout.top) * layout.itemHeight;
            TapMiddleOf(*combo,
                        RECT{layout.items.left, row, layout.items.right, row + layout.itemHeight});
            break;
        }
    }
    if (combo->items.Selection() != index) {
        error = "the item " + Quoted(text) + " could not be picked";
        return false;
    }
    return true;
}

bool AnswerMessageBox(const std::u16string &button, std::string &error) {
    for (HWND top = GetWindow(GetDesktopWindow(), GW_CHILD); top != nullptr;
         top = GetWindow(top, GW_HWNDNEXT)) {
        if (!IsWindowVisible(top) || ClassOfWindow(top) != u"Dialog" ||
            GetDlgItem(top, messageBoxTextId) == nullptr) {
            continue;
        }
        HWND found = FindShownChild(top, IsButtonNamed, button);
        if (found == nullptr) {
            error =
                "the message box " + Quoted(TextOfWindow(top)) + " has no button " + Quoted(button);
            return false;
        }
        return TapCentre(found, "the button " + Quoted(button), error);
    }
    error = "no message box is shown";
    return false;
}

bool WaitForWindow(const WindowName &name, bool shown, DWORD milliseconds) {
    // Short steps, so that the wait ends soon after the window comes or goes.
    const DWORD step = 10;
    DWORD waited = 0;
    for (;;) {
        RunUntilIdle();
        if ((FindShownWindow(name) != nullptr) == shown) {
            return true;
        }
        if (waited >= milliseconds) {
            return false;
        }
        const DWORD next = std::min(step, milliseconds - waited);
        AdvanceDeviceTime(next);
        waited += next;
    }
}
