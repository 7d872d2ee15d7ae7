// Locale information for the locales whose keyboards the desktop tools know, with the values
// Windows gives for them.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct LocaleInfo {
    LCID locale;
    const char *abbreviatedLanguage;
    UINT ansiCodePage;
};

const LocaleInfo locales[] = {
    {0x0406, "DAN", 1252}, {0x0413, "NLD", 1252}, {0x0813, "NLB", 1252}, {0x0409, "ENU", 1252},
    {0x0809, "ENG", 1252}, {0x0C09, "ENA", 1252}, {0x1009, "ENC", 1252}, {0x1409, "ENZ", 1252},
    {0x1809, "ENI", 1252}, {0x040B, "FIN", 1252}, {0x040C, "FRA", 1252}, {0x080C, "FRB", 1252},
    {0x0C0C, "FRC", 1252}, {0x100C, "FRS", 1252}, {0x0407, "DEU", 1252}, {0x0807, "DES", 1252},
    {0x0C07, "DEA", 1252}, {0x040F, "ISL", 1252}, {0x0410, "ITA", 1252}, {0x0810, "ITS", 1252},
    {0x0414, "NOR", 1252}, {0x0814, "NON", 1252}, {0x0416, "PTB", 1252}, {0x0816, "PTG", 1252},
    {0x041D, "SVE", 1252}, {0x040A, "ESP", 1252}, {0x080A, "ESM", 1252}, {0x0C0A, "ESN", 1252},
    {0x041F, "TRK", 1254}, {0x0415, "PLK", 1250}, {0x0405, "CSY", 1250}, {0x041B, "SKY", 1250},
    {0x040E, "HUN", 1250}, {0x0419, "RUS", 1251}, {0x0402, "BGR", 1251}, {0x0418, "ROM", 1250},
    {0x0422, "UKR", 1251}, {0x0423, "BEL", 1251}, {0x0408, "ELL", 1253}, {0x0424, "SLV", 1250},
    {0x0425, "ETI", 1257}, {0x0427, "LTH", 1257}, {0x0426, "LVI", 1257},
};

// The desktop's user and system locale is US English. The neutral locale names no language, so
// it has no abbreviation or code page of its own: callers keep their own defaults for it.
const LCID userLocale = 0x0409;

const LocaleInfo *FindLocale(LCID locale) {
    if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT) {
        locale = userLocale;
    }
    for (const LocaleInfo &info : locales) {
        if (info.locale == locale) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace

extern "C" int WINAPI GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size) {
    const LocaleInfo *info = FindLocale(locale);
    if (info == nullptr || size < 0 || (size > 0 && data == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char value[16];
    switch (type) {
    case LOCALE_SABBREVLANGNAME:
        std::snprintf(value, sizeof value, "%s", info->abbreviatedLanguage);
        break;
    case LOCALE_IDEFAULTANSICODEPAGE:
        std::snprintf(value, sizeof value, "%u", info->ansiCodePage);
        break;
    default:
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const int needed = static_cast<int>(std::strlen(value)) + 1;
    if (size == 0) {
        return needed;
    }
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, value, needed);
    return needed;
}
