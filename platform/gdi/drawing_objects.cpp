// Pens, brushes, stock objects and the system colour brushes.
#include "gdi/drawing_objects.h"

#include "gdi/fonts.h"

#include <array>
#include <cstring>

namespace {

const int stockObjectCount = NULL_PEN + 1;
const int systemColorCount = COLOR_GRADIENTINACTIVECAPTION + 1;

template <typename Description>
int DescribeAs(const Description &description, int size, void *buffer) {
    if (buffer == nullptr || size == 0) {
        return sizeof(Description);
    }
    if (size < static_cast<int>(sizeof(Description))) {
        return 0;
    }
    std::memcpy(buffer, &description, sizeof(description));
    return sizeof(Description);
}

HGDIOBJ StockBrush(int style, COLORREF color) {
    return AddStockObject(std::make_shared<BrushObject>(style, color));
}

HGDIOBJ StockPen(int style, COLORREF color) {
    return AddStockObject(std::make_shared<PenObject>(style, 1, color));
}

struct StockObjects {
    std::array<HGDIOBJ, stockObjectCount> objects{StockBrush(BS_SOLID, RGB(255, 255, 255)),
                                                  StockBrush(BS_SOLID, RGB(192, 192, 192)),
                                                  StockBrush(BS_SOLID, RGB(128, 128, 128)),
                                                  StockBrush(BS_SOLID, RGB(64, 64, 64)),
                                                  StockBrush(BS_SOLID, RGB(0, 0, 0)),
                                                  StockBrush(BS_NULL, 0),
                                                  StockPen(PS_SOLID, RGB(255, 255, 255)),
                                                  StockPen(PS_SOLID, RGB(0, 0, 0)),
                                                  StockPen(PS_NULL, 0)};
    HGDIOBJ defaultBitmap = nullptr;
    std::array<HGDIOBJ, systemColorCount> systemBrushes{};

    StockObjects() {
        auto bitmap = std::make_shared<BitmapObject>(1, 1, std::vector<uint32_t>{0});
        bitmap->monochrome = true;
        defaultBitmap = AddStockObject(bitmap);
        for (int index = 0; index < systemColorCount; ++index) {
            systemBrushes[static_cast<size_t>(index)] = StockBrush(BS_SOLID, GetSysColor(index));
        }
    }
};

const StockObjects &Stock() {
    static const StockObjects stock;
    return stock;
}

} // namespace

int PenObject::Describe(int size, void *buffer) const {
    LOGPEN pen;
    std::memset(&pen, 0, sizeof(pen));
    pen.lopnStyle = static_cast<UINT>(style);
    pen.lopnWidth.x = width;
    pen.lopnColor = color;
    return DescribeAs(pen, size, buffer);
}

int BrushObject::Describe(int size, void *buffer) const {
    LOGBRUSH brush;
    std::memset(&brush, 0, sizeof(brush));
    brush.lbStyle = static_cast<UINT>(style);
    brush.lbColor = color;
    return DescribeAs(brush, size, buffer);
}

HBITMAP DefaultBitmap() {
    return static_cast<HBITMAP>(Stock().defaultBitmap);
}

int SystemColorIndex(int index) {
    index &= ~SYS_COLOR_INDEX_FLAG;
    return index >= 0 && index < systemColorCount ? index : -1;
}

extern "C" HGDIOBJ WINAPI GetStockObject(int object) {
    if (object == SYSTEM_FONT) {
        return SystemFont();
    }
    if (object < 0 || object >= stockObjectCount) {
        return nullptr;
    }
    return Stock().objects[static_cast<size_t>(object)];
}

extern "C" HBRUSH WINAPI GetSysColorBrush(int index) {
    const int normalized = SystemColorIndex(index);
    if (normalized < 0) {
        return nullptr;
    }
    return static_cast<HBRUSH>(Stock().systemBrushes[static_cast<size_t>(normalized)]);
}

extern "C" HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_NULL && style != PS_DASH) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Dashes are drawn solid. Widths below 1 draw one pixel wide.
    return static_cast<HPEN>(AddGdiObject(
        std::make_shared<PenObject>(style, width < 0 ? 0 : width, color & 0x00FFFFFF)));
}

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(
        AddGdiObject(std::make_shared<BrushObject>(BS_SOLID, color & 0x00FFFFFF)));
}
