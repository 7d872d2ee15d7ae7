// Making dialogs from templates, through the public window API only.
#include "dialogs/dialog_state.h"
#include "dialogs/dialogs.h"
#include "user/message_conversion.h"

#include "kernel/module_resources.h"

#include <algorithm>

namespace {

const char16_t dialogClass[] = u"Dialog";

HFONT MakeFont(const std::u16string &faceName, int pointSize) {
    LOGFONTW description = {};
    // Points at the device's 96 pixels per inch, as character height.
    description.lfHeight = -((pointSize * 96 + 36) / 72);
    description.lfWeight = FW_NORMAL;
    lstrcpynW(description.lfFaceName, faceName.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&description);
}

// The screen less the task bar, where centred dialogs go.
RECT WorkArea() {
    RECT area;
    GetWindowRect(GetDesktopWindow(), &area);
    HWND taskBar = FindWindowW(u"HHTaskBar", nullptr);
    RECT bar;
    if (taskBar != nullptr && IsWindowVisible(taskBar) && GetWindowRect(taskBar, &bar) &&
        bar.top > area.top && bar.bottom >= area.bottom) {
        area.bottom = bar.top;
    }
    return area;
}

// The window's size for a client area of that size, with the frame its styles give it.
SIZE WindowSizeFor(DWORD style, DWORD exStyle, SIZE client) {
    RECT rect = {0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The first control that takes the focus: visible, enabled, with WS_TABSTOP.
HWND FirstTabStop(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0) {
            return child;
        }
    }
    return nullptr;
}

} // namespace

DialogBaseUnits BaseUnitsOfFont(const std::u16string &faceName, int pointSize) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = faceName.empty() && pointSize == 0 ? nullptr : MakeFont(faceName, pointSize);
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    static const char16_t alphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent = {};
    GetTextExtentPoint32W(dc, alphabet, 52, &extent);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    if (font != nullptr) {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    DeleteDC(dc);
    // The average width of the alphabet, rounded, as Windows computes it.
    return DialogBaseUnits{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

DialogBaseUnits BaseUnitsOf(const DialogLayout &layout) {
    return layout.hasFont ? BaseUnitsOfFont(layout.faceName, layout.pointSize)
                          : BaseUnitsOfFont(u"", 0);
}

bool LoadDialogLayout(HINSTANCE instance, LPCWSTR name, DialogLayout &layout) {
    ResourceBytes bytes;
    if (!FindModuleResource(instance, MAKEINTRESOURCEW(5), name, bytes)) {
        return false;
    }
    const auto *table = reinterpret_cast<const DIALOG_TEMPLATE_TABLE *>(bytes.data);
    // The font decides the units, so the template is read once for the font and once in pixels.
    DialogLayout font;
    if (!ReadDialogTemplate(table, bytes.size, DialogBaseUnits{4, 8}, font)) {
        return false;
    }
    return ReadDialogTemplate(table, bytes.size, BaseUnitsOf(font), layout);
}

HWND CreateDialogFromLayout(HINSTANCE instance, const DialogLayout &layout, HWND parent,
                            DLGPROC procedure, LPARAM parameter, bool modal) {
    RegisterDialogClass();
    const DWORD style = layout.style & ~WS_VISIBLE;
    // A modal frame is the dialog's own extended style from here on, as the template's bit
    // means nothing to the window.
    DWORD exStyle = layout.exStyle;
    if ((style & DS_MODALFRAME) != 0) {
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    const SIZE size = WindowSizeFor(style, exStyle, layout.clientSize);
    POINT place = layout.position;
    if ((style & WS_CHILD) == 0 && parent != nullptr) {
        // A pop-up's place is given in its owner's client area.
        ClientToScreen(parent, &place);
    }
    if ((style & DS_CENTER) != 0) {
        RECT area = WorkArea();
        if ((style & WS_CHILD) != 0 && parent != nullptr) {
            GetClientRect(parent, &area);
        }
        place.x = area.left + std::max<LONG>((area.right - area.left - size.cx) / 2, 0);
        place.y = area.top + std::max<LONG>((area.bottom - area.top - size.cy) / 2, 0);
    }
    HWND dialog = CreateWindowExW(exStyle, dialogClass, layout.caption.c_str(), style, place.x,
                                  place.y, size.cx, size.cy, parent, nullptr, instance, nullptr);
    if (dialog == nullptr) {
        return nullptr;
    }
    HFONT font = nullptr;
    {
        // Only until foreign code runs: a procedure may destroy the dialog, and its state with it.
        DialogState &state = AddDialogState(dialog);
        state.modal = modal;
        const DialogBaseUnits base = BaseUnitsOf(layout);
        state.baseX = base.x;
        state.baseY = base.y;
        if (layout.hasFont) {
            state.font = MakeFont(layout.faceName, layout.pointSize);
            state.ownsFont = state.font != nullptr;
        }
        font = state.font;
    }
    SetWindowLongPtrW(dialog, DWL_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
    // The dialog hears of its font before its controls are made, as on Windows.
    if (font != nullptr) {
        SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    for (const DialogControlLayout &control : layout.controls) {
        if (!IsWindow(dialog)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr; // destroyed by what it was told
        }
        HWND made = CreateWindowExW(
            control.exStyle, control.className.c_str(), control.text.c_str(),
            control.style | WS_CHILD, control.rect.left, control.rect.top,
            control.rect.right - control.rect.left, control.rect.bottom - control.rect.top, dialog,
            reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(control.id)), instance, nullptr);
        if (made == nullptr) {
            if (IsWindow(dialog)) {
                DestroyWindow(dialog);
            }
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        if (font != nullptr) {
            SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
    HWND first = FirstTabStop(dialog);
    const LRESULT wantsFocus =
        SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), parameter);
    const DialogState *state = FindDialogState(dialog);
    if (!IsWindow(dialog) || state == nullptr) {
        return nullptr; // destroyed while being made
    }
    if (state->ended) {
        return dialog; // ended in WM_INITDIALOG: neither focused nor shown
    }
    if (wantsFocus != 0 && first != nullptr && IsWindow(first)) {
        SetFocus(first);
    }
    if (!IsWindow(dialog)) {
        return nullptr;
    }
    if ((layout.style & WS_VISIBLE) != 0) {
        ShowWindow(dialog, SW_SHOW);
    }
    return dialog;
}

extern "C" HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND parent,
                                          DLGPROC procedure, LPARAM parameter) {
    DialogLayout layout;
    if (!LoadDialogLayout(instance, name, layout)) {
        return nullptr;
    }
    return CreateDialogFromLayout(instance, layout, parent, procedure, parameter, false);
}

extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent,
                                          DLGPROC procedure, LPARAM parameter) {
    NoteProcedureForm(procedure, true);
    return CreateDialogParamW(instance, WideResourceName(name).Get(), parent, procedure, parameter);
}

extern "C" LONG WINAPI GetDialogBaseUnits(void) {
    const DialogBaseUnits base = BaseUnitsOfFont(u"", 0);
    return MAKELONG(base.x, base.y);
}
