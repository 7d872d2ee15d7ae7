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
    // Dialogs that went without WM_DESTROY (their program ended, the windows were reset) leave
    // their state behind; it goes, with the font it owns, when the next dialog is made.
    auto &states = States();
    for (auto state = states.begin(); state != states.end();) {
        if (state->first != dialog && !IsWindow(state->first)) {
            if (state->second.ownsFont) {
                DeleteObject(state->second.font);
            }
            state = states.erase(state);
        } else {
            ++state;
        }
    }
    return states[dialog];
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
