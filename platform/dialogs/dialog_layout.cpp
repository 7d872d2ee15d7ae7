// Reading dialog templates: dialog units become pixels from the template font's base units.
#include "dialogs/dialog_layout.h"

#include <cstdint>

namespace {

// MulDiv's rounding: to the nearest, halves away from zero.
int Scale(int value, int numerator, int denominator) {
    const int64_t product = int64_t(value) * numerator;
    const int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

std::u16string Text(LPCWSTR text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

} // namespace

int DialogUnitsToPixelsX(int units, const DialogBaseUnits &base) {
    return Scale(units, base.x, 4);
}

int DialogUnitsToPixelsY(int units, const DialogBaseUnits &base) {
    return Scale(units, base.y, 8);
}

bool ReadDialogTemplate(const DIALOG_TEMPLATE_TABLE *table, size_t size,
                        const DialogBaseUnits &base, DialogLayout &out) {
    if (table == nullptr || size < sizeof(DIALOG_TEMPLATE_TABLE) ||
        table->itemCount > maxDialogControls || (table->itemCount > 0 && table->items == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DialogLayout layout;
    layout.style = table->style;
    layout.exStyle = table->exStyle;
    layout.position = {DialogUnitsToPixelsX(table->x, base), DialogUnitsToPixelsY(table->y, base)};
    layout.clientSize = {DialogUnitsToPixelsX(table->cx, base),
                         DialogUnitsToPixelsY(table->cy, base)};
    layout.caption = Text(table->caption);
    layout.hasFont = (table->style & DS_SETFONT) != 0;
    if (layout.hasFont) {
        layout.pointSize = table->pointSize;
        layout.faceName = Text(table->faceName);
    }
    layout.controls.reserve(table->itemCount);
    for (UINT i = 0; i < table->itemCount; ++i) {
        const DIALOG_ITEM_TEMPLATE &item = table->items[i];
        if (item.className == nullptr || item.className[0] == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        DialogControlLayout control;
        control.id = item.id;
        control.className = item.className;
        control.text = Text(item.text);
        control.style = item.style | WS_CHILD;
        control.exStyle = item.exStyle;
        const int left = DialogUnitsToPixelsX(item.x, base);
        const int top = DialogUnitsToPixelsY(item.y, base);
        control.rect = {left, top, left + DialogUnitsToPixelsX(item.cx, base),
                        top + DialogUnitsToPixelsY(item.cy, base)};
        layout.controls.push_back(std::move(control));
    }
    out = std::move(layout);
    return true;
}
