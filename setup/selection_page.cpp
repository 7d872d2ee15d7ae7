// The selection page: the layouts found on the left, the ones to put on the device on the right.
#include "setup_state.h"

static void FillListBox(HWND page, int listBox, const LayoutNode *list) {
    for (; list != NULL; list = list->next) {
        const LRESULT item =
            SendDlgItemMessageA(page, listBox, LB_ADDSTRING, 0, (LPARAM)list->data->name);
        if (item >= 0)
            SendDlgItemMessageA(page, listBox, LB_SETITEMDATA, item, (LPARAM)list->data);
    }
}

static int ReadSelection(HWND page, int listBox) {
    const LRESULT count = SendDlgItemMessageA(page, listBox, LB_GETSELITEMS, SelectionCapacity,
                                              (LPARAM)SelectionBuffer);
    return count > 0 ? (int)count : 0;
}

static void MoveSelectedItems(HWND page, int source, int target) {
    LayoutNode **from = source == IDC_AVAILABLE_LIST ? &AvailableList : &LoadList;
    LayoutNode **to = source == IDC_AVAILABLE_LIST ? &LoadList : &AvailableList;
    char text[sizeof((LayoutFileEntry *)0)->name];
    while (ReadSelection(page, source) > 0) {
        const int item = SelectionBuffer[0];
        if (SendDlgItemMessageA(page, source, LB_GETTEXTLEN, item, 0) >= (LRESULT)sizeof text)
            break;
        SendDlgItemMessageA(page, source, LB_GETTEXT, item, (LPARAM)text);
        LayoutFileEntry *entry =
            (LayoutFileEntry *)SendDlgItemMessageA(page, source, LB_GETITEMDATA, item, 0);
        SendDlgItemMessageA(page, source, LB_DELETESTRING, item, 0);
        if (entry == NULL || entry == (LayoutFileEntry *)LB_ERR)
            continue;
        UnlinkLayoutEntry(from, entry);
        if (!PushLayoutEntry(to, entry)) {
            LocalFree(entry);
            continue;
        }
        const LRESULT added = SendDlgItemMessageA(page, target, LB_ADDSTRING, 0, (LPARAM)text);
        if (added >= 0)
            SendDlgItemMessageA(page, target, LB_SETITEMDATA, added, (LPARAM)entry);
    }
}

static void SelectAll(HWND page, int listBox) {
    SendDlgItemMessageA(page, listBox, LB_SETSEL, TRUE, (LPARAM)-1);
}

// The buffer has a slot for every layout there is, whichever list holds it, and at least one.
static BOOL PrepareLists(void) {
    if (SelectionBuffer != NULL)
        return TRUE;
    ScanLayoutFiles();
    SelectionCapacity = CountLayoutEntries(AvailableList);
    if (SelectionCapacity == 0)
        SelectionCapacity = 1;
    SelectionBuffer = (int *)LocalAlloc(LPTR, SelectionCapacity * sizeof(int));
    return SelectionBuffer != NULL;
}

static INT_PTR CALLBACK SelectionProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(page, PRODUCT_NAME);
        SendDlgItemMessageA(page, IDC_AVAILABLE_LIST, LB_RESETCONTENT, 0, 0);
        SendDlgItemMessageA(page, IDC_LOAD_LIST, LB_RESETCONTENT, 0, 0);
        if (!PrepareLists()) {
            EndDialog(page, PAGE_NO_MEMORY);
            return TRUE;
        }
        FillListBox(page, IDC_AVAILABLE_LIST, AvailableList);
        FillListBox(page, IDC_LOAD_LIST, LoadList);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MOVE_RIGHT:
            MoveSelectedItems(page, IDC_AVAILABLE_LIST, IDC_LOAD_LIST);
            return TRUE;
        case IDC_INSTALL_ALL:
            SelectAll(page, IDC_AVAILABLE_LIST);
            MoveSelectedItems(page, IDC_AVAILABLE_LIST, IDC_LOAD_LIST);
            return TRUE;
        case IDC_MOVE_LEFT:
            MoveSelectedItems(page, IDC_LOAD_LIST, IDC_AVAILABLE_LIST);
            return TRUE;
        case IDC_REMOVE_ALL:
            SelectAll(page, IDC_LOAD_LIST);
            MoveSelectedItems(page, IDC_LOAD_LIST, IDC_AVAILABLE_LIST);
            return TRUE;
        case IDC_NEXT:
            if (LoadList != NULL) {
                EndDialog(page, 1);
            } else if (MessageBoxA(page,
                                   "At least one keyboard layout must be selected. If you want to "
                                   "proceed with setup press YES button.",
                                   PRODUCT_NAME, MB_YESNO | MB_ICONQUESTION) == IDNO) {
                EndDialog(page, PAGE_CANCELLED);
            }
            return TRUE;
        case IDC_EXIT:
            EndDialog(page, PAGE_CANCELLED);
            return TRUE;
        case IDCANCEL:
            return TRUE; // Esc does not leave this page
        }
        break;
    }
    return FALSE;
}

INT_PTR ShowSelectionPage(void) {
    return DialogBoxParamA(SetupInstance, MAKEINTRESOURCEA(IDD_SELECTION), SetupWindow,
                           SelectionProc, 0);
}
