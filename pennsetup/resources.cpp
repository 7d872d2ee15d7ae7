// The installation hook's resources: the completion dialog and its icon.
#include <dialog_templates.h>
#include <resource_tables.h>

#include "pennsetup_pictures.h"
#include "pennsetup_state.h"

namespace {

const DIALOG_ITEM_TEMPLATE completionItems[] = {
    {IDOK, TEXT("BUTTON"), TEXT("OK"), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 46,
     52, 50, 14},
    {(WORD)-1, TEXT("STATIC"),
     TEXT("successfully installed. Please restart your device by \"Reset\" button."),
     WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 36, 20, 105, 24},
    {IDI_SETUP, TEXT("STATIC"), TEXT("#102"), WS_CHILD | WS_VISIBLE | SS_ICON, 0, 8, 4, 20, 20},
    {IDC_PRODUCT_NAME, TEXT("STATIC"), PRODUCT_NAME, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 44, 8, 97,
     8},
};
const DIALOG_TEMPLATE_TABLE completion = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                              DS_CENTER | DS_SETFONT,
                                          0,
                                          0,
                                          0,
                                          144,
                                          74,
                                          TEXT(""),
                                          8,
                                          TEXT("MS Sans Serif"),
                                          completionItems,
                                          ARRAYSIZE(completionItems)};

const RESOURCE_ENTRY resources[] = {
    {RT_DIALOG, MAKEINTRESOURCE(IDD_COMPLETION), &completion, sizeof completion},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_SETUP), res_setup_icon_ico, res_setup_icon_icoSize},
};

const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

} // namespace
