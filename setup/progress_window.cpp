// The progress page: a heading, the item in hand and a bar that moves while its budget lasts.
#include <commctrl.h>

#include "setup_state.h"

static INT_PTR CALLBACK ProgressProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    if (message == WM_INITDIALOG) {
        SetWindowTextA(page, PRODUCT_NAME);
        return TRUE;
    }
    return FALSE;
}

// The bar sits in the frame, which sits in the page.
static HWND PageOfBar(HWND bar) {
    return GetParent(GetParent(bar));
}

HWND CreateProgressWindow(DWORD steps, const char *item, const char *heading) {
    HWND page = CreateDialogParamA(SetupInstance, MAKEINTRESOURCEA(IDD_PROGRESS), SetupWindow,
                                   ProgressProc, 0);
    if (page == NULL)
        return NULL;
    HWND frame = GetDlgItem(page, IDC_PROGRESS_FRAME);
    RECT area = {0, 0, 0, 0};
    GetClientRect(frame, &area);
    SetDlgItemTextA(page, IDC_PROGRESS_ITEM, item);
    SetDlgItemTextA(page, IDC_PROGRESS_HEADING, heading);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, NULL, WS_CHILD, area.left, area.top,
                               area.right - area.left, area.bottom - area.top, frame, NULL,
                               SetupInstance, NULL);
    if (bar == NULL) {
        DestroyWindow(page);
        return NULL;
    }
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
    SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(bar, SW_SHOW);
    UpdateWindow(bar);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, steps));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    return bar;
}

void StepProgress(HWND bar, const char *item) {
    if (StepBudget == 0)
        return;
    StepBudget--;
    if (bar == NULL)
        return;
    SetDlgItemTextA(PageOfBar(bar), IDC_PROGRESS_ITEM, item);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
}

void DestroyProgressWindow(HWND bar) {
    if (bar != NULL)
        DestroyWindow(PageOfBar(bar));
}
