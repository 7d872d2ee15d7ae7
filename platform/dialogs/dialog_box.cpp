// Modal dialogs: DialogBoxParam runs its own message loop until EndDialog.
#include "dialogs/dialog_state.h"
#include "dialogs/dialogs.h"
#include "user/message_conversion.h"

#include "kernel/module_resources.h"

namespace {

// A modal dialog comes to the front when its program is there, or was just started; one that
// never takes activation stays where it is.
void Present(HWND dialog) {
    const LONG exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
    if ((exStyle & WS_EX_NOACTIVATE) != 0) {
        return;
    }
    HWND front = GetForegroundWindow();
    if (front == nullptr || GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId() ||
        (GetWindowLongW(dialog, GWL_STYLE) & DS_SETFOREGROUND) != 0) {
        SetForegroundWindow(dialog);
    } else {
        SetActiveWindow(dialog);
    }
}

// A child given as the owner stands for its top-level window, which owns the dialog and is
// disabled while it shows, as on Windows.
HWND TopLevelOwner(HWND owner) {
    while (owner != nullptr && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD) != 0) {
        owner = GetParent(owner);
    }
    return owner;
}

} // namespace

INT_PTR RunModalDialog(HWND dialog, HWND owner) {
    owner = TopLevelOwner(owner);
    if (const DialogState *state = FindDialogState(dialog); state != nullptr && state->ended) {
        // Ended in WM_INITDIALOG: it goes before it is ever shown.
        const INT_PTR result = state->result;
        DestroyWindow(dialog);
        return result;
    }
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    if (!IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOW);
    }
    Present(dialog);
    INT_PTR result = -1;
    MSG message;
    for (;;) {
        DialogState *state = FindDialogState(dialog);
        if (state == nullptr || !IsWindow(dialog)) {
            break;
        }
        if (state->ended) {
            result = state->result;
            break;
        }
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            // The quit is for the loop outside.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    // The owner, enabled again, takes the activation back before the dialog goes, as on Windows;
    // otherwise nothing of the program would be active and keys would have nowhere to go.
    if (owner != nullptr && IsWindow(owner) && IsWindow(dialog) && GetActiveWindow() == dialog) {
        SetActiveWindow(owner);
    }
    if (IsWindow(dialog)) {
        DestroyWindow(dialog);
    }
    return result;
}

extern "C" INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner,
                                          DLGPROC procedure, LPARAM parameter) {
    DialogLayout layout;
    if (!LoadDialogLayout(instance, name, layout)) {
        return -1;
    }
    // A modal dialog is a pop-up, whatever its template says.
    layout.style &= ~WS_CHILD;
    owner = TopLevelOwner(owner);
    HWND dialog = CreateDialogFromLayout(instance, layout, owner, procedure, parameter, true);
    if (dialog == nullptr) {
        return -1;
    }
    return RunModalDialog(dialog, owner);
}

extern "C" INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner,
                                          DLGPROC procedure, LPARAM parameter) {
    NoteProcedureForm(procedure, true);
    return DialogBoxParamW(instance, WideResourceName(name).Get(), owner, procedure, parameter);
}

extern "C" BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    DialogState *state = FindDialogState(dialog);
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->ended = true;
    state->result = result;
    if (state->modal) {
        // Out of sight at once; the loop, woken in case it waits, destroys it.
        ShowWindow(dialog, SW_HIDE);
        PostMessageW(dialog, WM_NULL, 0, 0);
    }
    return TRUE;
}
