// What a keymap of xkeyboard-config types on each key of a PC keyboard, level by level, as
// libxkbcommon compiles it (rules evdev, model pc105).
#ifndef TOOLS_XKB_IMPORT_KEYMAP_LEVELS_H
#define TOOLS_XKB_IMPORT_KEYMAP_LEVELS_H

#include <xkbcommon/xkbcommon.h>

#include <map>
#include <string>

// Levels 1 to 4 (plain, Shift, AltGr, Shift+AltGr), then Caps Lock alone and with Shift as the
// keymap's key types decide.
enum KeyLevel { plainLevel, shiftLevel, altGrLevel, shiftAltGrLevel, capsLevel, shiftCapsLevel };
const int keyLevelCount = 6;

struct LevelSymbol {
    xkb_keysym_t keysym = XKB_KEY_NoSymbol;
    char32_t character = 0; // 0 when the keysym types none
};

struct KeyLevels {
    LevelSymbol levels[keyLevelCount];
};

struct CompiledKeymap {
    std::string description; // as xkeyboard-config names the layout, "German (Neo 2)"
    std::map<xkb_keycode_t, KeyLevels> keys;
};

// A layout name with its variant in parentheses, "de(neo)", split into its parts.
void SplitLayoutName(const std::string &full, std::string &layout, std::string &variant);
// False, with the reason, when libxkbcommon cannot compile the layout.
bool CompileKeymap(xkb_context *context, const std::string &layout, const std::string &variant,
                   CompiledKeymap &compiled, std::string &error);

#endif
