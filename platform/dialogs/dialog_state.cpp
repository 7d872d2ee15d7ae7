// The dialogs' own state, attached to each dialog's window.
#include "dialogs/dialog_state.h"

#include "user/attached_state.h"

DialogState::~DialogState() {
    if (ownsFont) {
        DeleteObject(font);
    }
}

DialogState *FindDialogState(HWND dialog) {
    return AttachedState<DialogState>(dialog).get();
}

DialogState &AddDialogState(HWND dialog) {
    auto state = std::make_shared<DialogState>();
    AttachState(dialog, state);
    return *state;
}

void ForgetDialogState(HWND dialog) {
    if (FindDialogState(dialog) != nullptr) {
        DetachState(dialog);
    }
}
