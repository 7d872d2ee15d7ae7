// What the platform keeps per dialog besides its window: its font, how it ends, and the control
// that had the focus.
#ifndef PLATFORM_DIALOGS_DIALOG_STATE_H
#define PLATFORM_DIALOGS_DIALOG_STATE_H

#include <windows.h>

// The font it owns goes with it.
struct DialogState {
    DialogState() = default;
    DialogState(const DialogState &) = delete;
    DialogState &operator=(const DialogState &) = delete;
    ~DialogState();

    HFONT font = nullptr;
    bool ownsFont = false;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND focus = nullptr;
    // The default button DM_SETDEFID named; 0 until then, when the template's BS_DEFPUSHBUTTON
    // (else IDOK) is the default.
    int defaultId = 0;
    // Pixels per 4 horizontal and 8 vertical dialog units, for MapDialogRect.
    int baseX = 0;
    int baseY = 0;
};

// The state of a dialog window, or null for any other window.
DialogState *FindDialogState(HWND dialog);
DialogState &AddDialogState(HWND dialog);
void ForgetDialogState(HWND dialog);

#endif
