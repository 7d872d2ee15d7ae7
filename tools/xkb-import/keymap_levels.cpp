#include "keymap_levels.h"

#include <memory>

namespace {

struct KeymapDeleter {
    void operator()(xkb_keymap *keymap) const {
        xkb_keymap_unref(keymap);
    }
};
struct StateDeleter {
    void operator()(xkb_state *state) const {
        xkb_state_unref(state);
    }
};

LevelSymbol SymbolOf(xkb_keysym_t keysym) {
    LevelSymbol symbol;
    symbol.keysym = keysym;
    symbol.character = keysym == XKB_KEY_NoSymbol ? 0 : xkb_keysym_to_utf32(keysym);
    return symbol;
}

// The one keysym of a level, or none when the level has none or several.
LevelSymbol LevelOf(xkb_keymap *keymap, xkb_keycode_t keycode, xkb_level_index_t level) {
    const xkb_keysym_t *keysyms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, level, &keysyms);
    return count == 1 ? SymbolOf(keysyms[0]) : LevelSymbol();
}

// What the key gives with the modifiers locked and held, as the key's type turns them into a
// level: Caps Lock upper-cases only where the type says so.
LevelSymbol WithModifiers(xkb_keymap *keymap, xkb_keycode_t keycode, xkb_mod_mask_t held,
                          xkb_mod_mask_t locked) {
    std::unique_ptr<xkb_state, StateDeleter> state(xkb_state_new(keymap));
    if (state == nullptr) {
        return LevelSymbol();
    }
    xkb_state_update_mask(state.get(), held, 0, locked, 0, 0, 0);
    return SymbolOf(xkb_state_key_get_one_sym(state.get(), keycode));
}

} // namespace

void SplitLayoutName(const std::string &full, std::string &layout, std::string &variant) {
    const size_t open = full.find('(');
    if (open == std::string::npos || full.back() != ')') {
        layout = full;
        variant.clear();
        return;
    }
    layout = full.substr(0, open);
    variant = full.substr(open + 1, full.size() - open - 2);
}

bool CompileKeymap(xkb_context *context, const std::string &layout, const std::string &variant,
                   CompiledKeymap &compiled, std::string &error) {
    const xkb_rule_names names = {"evdev", "pc105", layout.c_str(), variant.c_str(), ""};
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (keymap == nullptr) {
        error =
            "libxkbcommon cannot compile " + layout + (variant.empty() ? "" : "(" + variant + ")");
        return false;
    }
    compiled = CompiledKeymap();
    const char *description = xkb_keymap_layout_get_name(keymap.get(), 0);
    compiled.description = description != nullptr ? description : layout;
    const xkb_mod_mask_t shift = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT);
    const xkb_mod_mask_t lock = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_CAPS);
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap.get());
         keycode <= xkb_keymap_max_keycode(keymap.get()); keycode++) {
        if (xkb_keymap_num_layouts_for_key(keymap.get(), keycode) == 0) {
            continue;
        }
        KeyLevels key;
        for (int level = plainLevel; level <= shiftAltGrLevel; level++) {
            key.levels[level] =
                LevelOf(keymap.get(), keycode, static_cast<xkb_level_index_t>(level));
        }
        key.levels[capsLevel] = WithModifiers(keymap.get(), keycode, 0, lock);
        key.levels[shiftCapsLevel] = WithModifiers(keymap.get(), keycode, shift, lock);
        compiled.keys[keycode] = key;
    }
    return true;
}
