// MessageBox on the device: a modal "Dialog" window captioned with the caption, its text beside
// the icon the type asks for, and a row of buttons; the default one first.
#include "dialogs/dialog_state.h"
#include "dialogs/dialogs.h"

#include "kernel/scheduler.h"
#include "kernel/code_pages.h"

#include <algorithm>
#include <vector>

namespace {

const int margin = 8;
const int buttonWidth = 56;
const int buttonHeight = 22;
const int buttonGap = 8;
const int iconSide = 32;
const int textId = 0xFFFF;

struct Button {
    int id;
    const char16_t *text;
};

std::vector<Button> ButtonsOf(UINT type) {
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO:
        return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL:
        return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    default:
        return {{IDOK, u"OK"}};
    }
}

// The built-in icon of the type's icon flag, or none.
LPCWSTR IconOf(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONHAND:
        return MAKEINTRESOURCEW(32513);
    case MB_ICONQUESTION:
        return MAKEINTRESOURCEW(32514);
    case MB_ICONEXCLAMATION:
        return MAKEINTRESOURCEW(32515);
    case MB_ICONINFORMATION:
        return MAKEINTRESOURCEW(32516);
    }
    return nullptr;
}

INT_PTR CALLBACK MessageBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL && GetDlgItem(dialog, IDCANCEL) == nullptr) {
            // Escape and the close request answer a box without Cancel only when it has OK;
            // a Yes / No question waits for one of its own buttons.
            if (GetDlgItem(dialog, IDOK) != nullptr) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        }
        EndDialog(dialog, id);
        return TRUE;
    }
    return FALSE;
}

SIZE TextSize(const std::u16string &text, int maxWidth) {
    HDC dc = CreateCompatibleDC(nullptr);
    RECT box = {0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    DeleteDC(dc);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

} // namespace

extern "C" int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    const std::u16string message = text != nullptr ? text : u"";
    const std::u16string title = caption != nullptr ? caption : u"Error";
    if (CurrentProgram() == nullptr) {
        // No device program to run a loop: answered as on the desktop.
        return ConsoleMessageBox(AnsiFromWide(message), AnsiFromWide(title), type);
    }
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const LPCWSTR iconName = IconOf(type);
    const int iconRoom = iconName != nullptr ? iconSide + margin : 0;
    const std::vector<Button> buttons = ButtonsOf(type);
    const int buttonsWidth =
        static_cast<int>(buttons.size()) * (buttonWidth + buttonGap) - buttonGap;
    const int maxTextWidth =
        std::max<int>(screen.right - screen.left - 2 * margin - iconRoom - 8, 40);
    const SIZE textSize = TextSize(message, maxTextWidth);
    const int contentHeight = std::max<int>(textSize.cy, iconName != nullptr ? iconSide : 0);
    const int width = std::max<int>(iconRoom + textSize.cx, buttonsWidth) + 2 * margin;
    const int height = margin + contentHeight + margin + buttonHeight + margin;

    DialogLayout layout;
    layout.style = WS_POPUP | WS_CAPTION | WS_BORDER | DS_CENTER | DS_MODALFRAME;
    if (type & MB_SETFOREGROUND) {
        layout.style |= DS_SETFOREGROUND;
    }
    layout.exStyle = (type & MB_TOPMOST) != 0 ? WS_EX_TOPMOST : 0;
    layout.clientSize = {width, height};
    layout.caption = title;
    // The text first, so that whoever reads the box's first static reads its message.
    layout.controls.push_back(
        {static_cast<WORD>(textId), u"STATIC", message, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
         RECT{margin + iconRoom, margin, width - margin, margin + std::max<int>(textSize.cy, 1)}});
    if (iconName != nullptr) {
        layout.controls.push_back({0xFFFE, u"STATIC", u"", WS_VISIBLE | SS_ICON, 0,
                                   RECT{margin, margin, margin + iconSide, margin + iconSide}});
    }
    int left = (width - buttonsWidth) / 2;
    const int top = height - margin - buttonHeight;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const DWORD kind = i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        layout.controls.push_back({static_cast<WORD>(buttons[i].id), u"BUTTON", buttons[i].text,
                                   static_cast<DWORD>(WS_VISIBLE | WS_TABSTOP | kind), 0,
                                   RECT{left, top, left + buttonWidth, top + buttonHeight}});
        left += buttonWidth + buttonGap;
    }
    HWND dialog = CreateDialogFromLayout(nullptr, layout, owner, MessageBoxProc, 0, true);
    if (dialog == nullptr) {
        return 0;
    }
    if (iconName != nullptr) {
        SendDlgItemMessageW(dialog, 0xFFFE, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconW(nullptr, iconName)), 0);
    }
    SetFocus(GetDlgItem(dialog, buttons.front().id));
    return static_cast<int>(RunModalDialog(dialog, owner));
}
