// The dialogs' own state, by window.
#include "dialogs/dialog_state.h"

#include <map>

namespace {

std::map<HWND, DialogState> &States() {
    static std::map<HWND, DialogState> states;
    return states;
}

} // namespace

DialogState *FindDialogState(HWND dialog) {
    auto found = States().find(dialog);
    return found != States().end() ? &found->second : nullptr;
}

DialogState &AddDialogState(HWND dialog) {
    return States()[dialog];
}

void ForgetDialogState(HWND dialog) {
    auto found = States().find(dialog);
    if (found == States().end()) {
        return;
    }
    if (found->second.ownsFont) {
        DeleteObject(found->second.font);
    }
    States().erase(found);
}
