#include "legacy_layout.h"

typedef struct ExtensionLocale {
    const char *extension;
    LCID locale;
} ExtensionLocale;

// Searched in this order; the first match wins.
static const ExtensionLocale ExtensionLocaleTable[] = {
    {"DAN", 0x0406}, {"NLD", 0x0413}, {"NLB", 0x0813}, {"ENU", 0x0409}, {"ENG", 0x0809},
    {"ENA", 0x0C09}, {"ENC", 0x1009}, {"ENZ", 0x1409}, {"ENI", 0x1809}, {"FIN", 0x040B},
    {"FRA", 0x040C}, {"FRB", 0x080C}, {"FRC", 0x0C0C}, {"FRS", 0x100C}, {"DEU", 0x0407},
    {"DES", 0x0807}, {"DEA", 0x0C07}, {"ISL", 0x040F}, {"ITA", 0x0410}, {"ITS", 0x0810},
    {"NOR", 0x0414}, {"NON", 0x0814}, {"PTB", 0x0416}, {"PTG", 0x0816}, {"SVE", 0x041D},
    {"ESP", 0x040A}, {"ESM", 0x080A}, {"ESN", 0x0C0A}, {"TRK", 0x041F}, {"PLK", 0x0415},
    {"CSY", 0x0405}, {"SKY", 0x041B}, {"HUN", 0x040E}, {"RU", 0x0419},  {"BU", 0x0402},
    {"ROM", 0x0418}, {"UKR", 0x0422}, {"BEL", 0x0423}, {"ELL", 0x0408}, {"SLV", 0x0424},
    {"ETI", 0x0425}, {"LTH", 0x0427}, {"LVI", 0x0426},
};

LCID LocaleFromExtension(const char *extension) {
    if (extension == NULL)
        return 0;
    for (int i = 0; i < (int)(sizeof ExtensionLocaleTable / sizeof ExtensionLocaleTable[0]); i++) {
        if (_stricmp(extension, ExtensionLocaleTable[i].extension) == 0)
            return ExtensionLocaleTable[i].locale;
    }
    return 0;
}
