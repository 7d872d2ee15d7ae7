// MultiByteToWideChar and WideCharToMultiByte for UTF-8 and the Windows single-byte ANSI code
// pages. The single-byte tables are built once per code page from the host's iconv.
#include "kernel/code_pages.h"

#include <windows.h>

#include <iconv.h>

#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

namespace {

const UINT ansiCodePage = 1252;

struct SingleByteTable {
    char16_t toWide[256];
    std::unordered_map<char16_t, unsigned char> toByte;
};

// Converts one byte alone; 0 when iconv has no character for it.
char32_t ConvertByte(iconv_t converter, unsigned char byte) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char input = static_cast<char>(byte);
    char32_t output[4] = {};
    char *in = &input;
    char *out = reinterpret_cast<char *>(output);
    size_t inLeft = 1;
    size_t outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
        return 0;
    }
    // Some code pages hold a base letter back, waiting for a combining mark: flush it out.
    iconv(converter, nullptr, nullptr, &out, &outLeft);
    if (outLeft == sizeof(output)) {
        return 0;
    }
    return output[0];
}

std::unique_ptr<SingleByteTable> BuildTable(UINT codePage) {
    const std::string number = std::to_string(codePage);
    iconv_t converter = iconv_open("UTF-32LE", ("CP" + number).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        converter = iconv_open("UTF-32LE", ("WINDOWS-" + number).c_str());
    }
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    auto table = std::make_unique<SingleByteTable>();
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t c = ConvertByte(converter, static_cast<unsigned char>(byte));
        // A byte without a character of its own stands for the code point of the same value,
        // as Windows gives for the holes of 1252 (0x81 becomes U+0081), so that any byte
        // string converts and converts back unchanged.
        const bool hole = (c == 0 && byte != 0) || c > 0xFFFF;
        table->toWide[byte] = hole ? static_cast<char16_t>(byte) : static_cast<char16_t>(c);
    }
    iconv_close(converter);
    for (int byte = 255; byte >= 0; --byte) {
        table->toByte[table->toWide[byte]] = static_cast<unsigned char>(byte);
    }
    return table;
}

bool IsSingleByteCodePage(UINT codePage) {
    return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

// The table of a single-byte code page, or null for a code page this platform does not know.
const SingleByteTable *TableFor(UINT codePage) {
    if (codePage == CP_ACP) {
        codePage = ansiCodePage;
    }
    if (!IsSingleByteCodePage(codePage)) {
        return nullptr;
    }
    static std::map<UINT, std::unique_ptr<SingleByteTable>> tables;
    auto found = tables.find(codePage);
    if (found == tables.end()) {
        found = tables.emplace(codePage, BuildTable(codePage)).first;
    }
    return found->second.get();
}

void AppendCodePoint(std::u16string &out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

// Decodes UTF-8; each maximal ill-formed subsequence becomes one U+FFFD.
std::u16string DecodeUtf8(const unsigned char *text, size_t length, bool &invalid) {
    std::u16string out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = text[i];
        if (lead < 0x80) {
            out += lead;
            ++i;
            continue;
        }
        size_t sequence = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        char32_t c = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            sequence = 2;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            sequence = 3;
            c = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            sequence = 4;
            c = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        size_t taken = 1;
        while (sequence != 0 && taken < sequence && i + taken < length) {
            const unsigned char next = text[i + taken];
            if (next < low || next > high) {
                break;
            }
            c = (c << 6) | (next & 0x3F);
            low = 0x80;
            high = 0xBF;
            ++taken;
        }
        if (sequence == 0 || taken < sequence) {
            out += u'\uFFFD';
            invalid = true;
        } else {
            AppendCodePoint(out, c);
        }
        i += taken;
    }
    return out;
}

// Reads one code point; an unpaired surrogate comes back as itself with `paired` false.
char32_t NextCodePoint(const char16_t *text, size_t length, size_t &i, bool &unpaired) {
    const char16_t unit = text[i++];
    unpaired = false;
    if (unit >= 0xD800 && unit <= 0xDBFF && i < length && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
        return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    unpaired = unit >= 0xD800 && unit <= 0xDFFF;
    return unit;
}

std::string EncodeUtf8(const char16_t *text, size_t length, bool &invalid) {
    std::string out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        bool unpaired = false;
        char32_t c = NextCodePoint(text, length, i, unpaired);
        if (unpaired) {
            c = 0xFFFD;
            invalid = true;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string DecodeSingleByte(const SingleByteTable &table, const unsigned char *text,
                                size_t length) {
    std::u16string out(length, u'\0');
    for (size_t i = 0; i < length; ++i) {
        out[i] = table.toWide[text[i]];
    }
    return out;
}

std::string EncodeSingleByte(const SingleByteTable &table, const char16_t *text, size_t length,
                             char replacement, bool &usedDefault) {
    std::string out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        bool unpaired = false;
        const char32_t c = NextCodePoint(text, length, i, unpaired);
        const auto found =
            c <= 0xFFFF ? table.toByte.find(static_cast<char16_t>(c)) : table.toByte.end();
        if (found == table.toByte.end()) {
            out += replacement;
            usedDefault = true;
        } else {
            out += static_cast<char>(found->second);
        }
    }
    return out;
}

// Copies a conversion's result out with the Win32 rules: size 0 asks for the size needed.
template <typename Char>
int CopyOut(const std::basic_string<Char> &result, Char *buffer, int count) {
    if (result.size() > static_cast<size_t>(INT_MAX)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const int needed = static_cast<int>(result.size());
    if (count == 0) {
        return needed;
    }
    if (needed > count) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, result.data(), result.size() * sizeof(Char));
    return needed;
}

} // namespace

std::u16string WideFromUtf8(std::string_view text) {
    bool invalid = false;
    return DecodeUtf8(reinterpret_cast<const unsigned char *>(text.data()), text.size(), invalid);
}

std::string Utf8FromWide(std::u16string_view text) {
    bool invalid = false;
    return EncodeUtf8(text.data(), text.size(), invalid);
}

std::u16string WideFromAnsi(std::string_view text) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    if (const SingleByteTable *table = TableFor(CP_ACP)) {
        return DecodeSingleByte(*table, bytes, text.size());
    }
    return std::u16string(bytes, bytes + text.size());
}

std::string AnsiFromWide(std::u16string_view text) {
    bool usedDefault = false;
    if (const SingleByteTable *table = TableFor(CP_ACP)) {
        return EncodeSingleByte(*table, text.data(), text.size(), '?', usedDefault);
    }
    std::string out;
    for (char16_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

extern "C" UINT WINAPI GetACP(void) {
    return ansiCodePage;
}

extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes,
                                          LPWSTR wide, int wideCount) {
    if (text == nullptr || bytes == 0 || bytes < -1 || wideCount < 0 ||
        (wide == nullptr && wideCount != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t length = bytes == -1 ? std::strlen(text) + 1 : static_cast<size_t>(bytes);
    const auto *input = reinterpret_cast<const unsigned char *>(text);
    std::u16string result;
    if (codePage == CP_UTF8) {
        bool invalid = false;
        result = DecodeUtf8(input, length, invalid);
        if (invalid && (flags & MB_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
    } else if (const SingleByteTable *table = TableFor(codePage)) {
        result = DecodeSingleByte(*table, input, length);
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return CopyOut(result, wide, wideCount);
}

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                                          LPSTR text, int bytes, LPCSTR defaultChar,
                                          LPBOOL usedDefaultChar) {
    if (wide == nullptr || wideCount == 0 || wideCount < -1 || bytes < 0 ||
        (text == nullptr && bytes != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t length = wideCount == -1 ? wcslen(wide) + 1 : static_cast<size_t>(wideCount);
    std::string result;
    if (codePage == CP_UTF8) {
        // UTF-8 has no default character; Windows refuses one.
        if (defaultChar != nullptr || usedDefaultChar != nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        bool invalid = false;
        result = EncodeUtf8(wide, length, invalid);
        if (invalid && (flags & WC_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
    } else if (const SingleByteTable *table = TableFor(codePage)) {
        bool usedDefault = false;
        const char replacement = defaultChar != nullptr ? *defaultChar : '?';
        result = EncodeSingleByte(*table, wide, length, replacement, usedDefault);
        if (usedDefaultChar != nullptr) {
            *usedDefaultChar = usedDefault ? TRUE : FALSE;
        }
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return CopyOut(result, text, bytes);
}
