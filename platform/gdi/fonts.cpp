// CreateFont, the system font, and what GetObject says about a font.
#include "gdi/fonts.h"

#include "engine/text.h"

#include <cstring>
#include <map>

namespace {

// The face name as UTF-8, up to its NUL or the end of the field.
std::string FamilyName(const LOGFONTW &font) {
    size_t length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length] != 0) {
        ++length;
    }
    std::string name;
    for (const TextCharacter &character : DecodeUtf16(font.lfFaceName, length)) {
        const char32_t code = character.code;
        if (code < 0x80) {
            name += static_cast<char>(code);
        } else if (code < 0x800) {
            name += static_cast<char>(0xC0 | (code >> 6));
            name += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            name += static_cast<char>(0xE0 | (code >> 12));
            name += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            name += static_cast<char>(0xF0 | (code >> 18));
            name += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            name += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return name;
}

HFONT AddFont(const LOGFONTW &font) {
    LOGFONTW stored = font;
    stored.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddGdiObject(std::make_shared<FontObject>(stored)));
}

} // namespace

int FontObject::Describe(int size, void *buffer) const {
    if (buffer == nullptr || size == 0) {
        return sizeof(LOGFONTW);
    }
    if (size < static_cast<int>(sizeof(LOGFONTW))) {
        return 0;
    }
    std::memcpy(buffer, &logical, sizeof(logical));
    return sizeof(LOGFONTW);
}

ScaledFont &FontObject::Scaled() {
    if (scaled_ == nullptr) {
        FontRequest request;
        request.family = FamilyName(logical);
        request.height = logical.lfHeight;
        request.bold = logical.lfWeight >= FW_BOLD;
        request.italic = logical.lfItalic != 0;
        scaled_ = OpenScaledFont(request);
    }
    return *scaled_;
}

HFONT SystemFont() {
    static const HFONT font = [] {
        LOGFONTW system;
        std::memset(&system, 0, sizeof(system));
        system.lfHeight = -defaultFontPixels;
        system.lfWeight = FW_NORMAL;
        system.lfCharSet = DEFAULT_CHARSET;
        const char16_t face[] = u"Tahoma";
        std::memcpy(system.lfFaceName, face, sizeof(face));
        return static_cast<HFONT>(AddStockObject(std::make_shared<FontObject>(system)));
    }();
    return font;
}

HFONT SharedSystemFont(int height, int weight) {
    static std::map<std::pair<int, int>, HFONT> *fonts = new std::map<std::pair<int, int>, HFONT>;
    HFONT &font = (*fonts)[{height, weight}];
    if (font == nullptr) {
        LOGFONTW logical;
        std::memset(&logical, 0, sizeof(logical));
        logical.lfHeight = height;
        logical.lfWeight = weight;
        logical.lfCharSet = DEFAULT_CHARSET;
        const char16_t face[] = u"Tahoma";
        std::memcpy(logical.lfFaceName, face, sizeof(face));
        font = static_cast<HFONT>(AddStockObject(std::make_shared<FontObject>(logical)));
    }
    return font;
}

extern "C" HFONT WINAPI CreateFontIndirectW(const LOGFONTW *font) {
    if (font == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AddFont(*font);
}

extern "C" HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation,
                                    int weight, DWORD italic, DWORD underline, DWORD strikeOut,
                                    DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                                    DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW font;
    std::memset(&font, 0, sizeof(font));
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face != nullptr) {
        for (size_t i = 0; i + 1 < LF_FACESIZE && face[i] != 0; ++i) {
            font.lfFaceName[i] = face[i];
        }
    }
    return AddFont(font);
}
