#include "morvex_test_support.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

LegacyBuilder::LegacyBuilder(const char *title, UINT codePage) {
    std::memset(&layout, 0, sizeof layout);
    std::snprintf(layout.title, sizeof layout.title, "%s", title);
    layout.codePage = codePage;
    std::u16string label = u"Tt";
    label.copy(layout.label, 2);
}

LegacyBuilder::~LegacyBuilder() {
    FreeLegacyLayout(&layout);
}

static void FillMap(BYTE *map, int base, const std::string &pairs) {
    for (size_t i = 0; i + 1 < pairs.size(); i += 3)
        map[(unsigned char)pairs[i] - base] = (BYTE)pairs[i + 1];
}

LegacyBuilder &LegacyBuilder::Map(const std::string &pairs) {
    FillMap(layout.mainMap, CHAR_MAP_BASE, pairs);
    return *this;
}

LegacyBuilder &LegacyBuilder::CapsMap(const std::string &pairs) {
    FillMap(layout.capsMap, CHAR_MAP_BASE, pairs);
    return *this;
}

LegacyBuilder &LegacyBuilder::DeadKey(char englishKey, char face, const std::string &pairs) {
    CharMap *maps = (CharMap *)LocalAlloc(LPTR, (layout.deadKeyCount + 1) * sizeof(CharMap));
    if (layout.deadKeyMaps != nullptr) {
        std::memcpy(maps, layout.deadKeyMaps, layout.deadKeyCount * sizeof(CharMap));
        LocalFree(layout.deadKeyMaps);
    }
    layout.deadKeyMaps = maps;
    layout.deadKeyChars[layout.deadKeyCount] = (BYTE)englishKey;
    BYTE *map = layout.deadKeyMaps[layout.deadKeyCount];
    map[0] = (BYTE)face;
    FillMap(map, DEAD_KEY_MAP_BASE, pairs);
    layout.deadKeyCount++;
    return *this;
}

KeyboardLayout *Level(KeyboardLayout *layout, const char *which) {
    LayoutLevels levels;
    FindLevels(layout, &levels);
    std::string name = which;
    return name == "Shift"         ? levels.shift
           : name == "Caps"        ? levels.caps
           : name == "ShiftedCaps" ? levels.shiftedCaps
                                   : levels.main;
}

// Where each character sits on each level of the English template.
static std::map<std::pair<std::string, char16_t>, std::pair<int, int>> TemplatePlaces() {
    std::map<std::pair<std::string, char16_t>, std::pair<int, int>> places;
    LoadedLayouts english(SHIPPED_LAYOUTS_DIRECTORY);
    KeyboardLayout *main = english.Load("English");
    for (const char *subName : {"Main", "Shift", "Caps", "ShiftedCaps"}) {
        for (KeyDef *key : KeysInListOrder(Level(main, subName))) {
            // Characters only: the arrows' virtual-key codes equal those of ' ( % &.
            if ((key->flags & KEY_VIRTUAL) == 0 || key->code == ' ')
                places[{subName, key->code}] = {key->left, key->top};
        }
    }
    return places;
}

// Read before any test runs, since loading the template releases whatever a test has loaded.
static const auto places = TemplatePlaces();

KeyDef *KeyAtTemplatePlace(KeyboardLayout *level, const char *subName, char16_t english) {
    auto place = places.find({subName, english});
    if (place == places.end() || level == nullptr)
        return nullptr;
    for (KeyDef *key : KeysInListOrder(level)) {
        if (key->left == place->second.first && key->top == place->second.second &&
            (key->flags & KEY_HIDDEN) == 0)
            return key;
    }
    return nullptr;
}

void CopyDistribution(const std::string &to, bool withTemplate) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    std::string from = DESKTOP_DIST_DIRECTORY;
    for (const char *name : {"morvex", "Layodex.dll", "libplatform.so"})
        fs::copy_file(from + "/" + name, to + "/" + name, fs::copy_options::overwrite_existing);
    if (withTemplate)
        fs::copy_file(std::string(SHIPPED_LAYOUTS_DIRECTORY) + "/English.kbi", to + "/English.kbi",
                      fs::copy_options::overwrite_existing);
}

ProgramRun RunMorvex(const std::string &distribution, const std::string &directory,
                     const std::string &arguments) {
    return RunProgram("cd '" + directory + "' && '" + distribution + "/morvex' " + arguments);
}
