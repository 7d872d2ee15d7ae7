// Helpers for the converter's tests: legacy layouts built in memory, the English template, keys
// found by where they sit, and the built converter run in a directory of its own.
#ifndef MORVEX_TEST_SUPPORT_H
#define MORVEX_TEST_SUPPORT_H

#include <string>

#include "conversion.h"
#include "layodex_test_support.h"

// A legacy layout with maps given as "S T" pairs of single-byte characters.
struct LegacyBuilder {
    LegacyLayout layout;
    LegacyBuilder(const char *title, UINT codePage = 1252);
    ~LegacyBuilder();
    LegacyBuilder &Map(const std::string &pairs);     // e.g. "yz zy"
    LegacyBuilder &CapsMap(const std::string &pairs); // same shape
    // A dead key named by its English character, with its face and "S T" pairs.
    LegacyBuilder &DeadKey(char englishKey, char face, const std::string &pairs);
};

// The key of a level at the place where the English template has the character on that level.
KeyDef *KeyAtTemplatePlace(KeyboardLayout *level, const char *subName, char16_t english);
KeyboardLayout *Level(KeyboardLayout *layout, const char *which); // Main, Shift, Caps, ShiftedCaps

// Runs the converter from a copy of the desktop distribution, in the given directory.
ProgramRun RunMorvex(const std::string &distribution, const std::string &directory,
                     const std::string &arguments = "");
// A copy of the desktop distribution's converter, libraries and template.
void CopyDistribution(const std::string &to, bool withTemplate = true);

#endif
