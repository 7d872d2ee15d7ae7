#include "compose_sequences.h"

#include <cstring>
#include <memory>

namespace {

struct ComposeStateDeleter {
    void operator()(xkb_compose_state *state) const {
        xkb_compose_state_unref(state);
    }
};

} // namespace

bool IsDeadKeysym(xkb_keysym_t keysym) {
    char name[64];
    return xkb_keysym_get_name(keysym, name, sizeof name) > 0 &&
           std::strncmp(name, "dead_", 5) == 0;
}

char32_t Composed(xkb_compose_table *compose, xkb_keysym_t dead, xkb_keysym_t base) {
    std::unique_ptr<xkb_compose_state, ComposeStateDeleter> state(
        xkb_compose_state_new(compose, XKB_COMPOSE_STATE_NO_FLAGS));
    if (state == nullptr) {
        return 0;
    }
    xkb_compose_state_feed(state.get(), dead);
    xkb_compose_state_feed(state.get(), base);
    if (xkb_compose_state_get_status(state.get()) != XKB_COMPOSE_COMPOSED) {
        return 0;
    }
    char text[16];
    if (xkb_compose_state_get_utf8(state.get(), text, sizeof text) <= 0) {
        return 0;
    }
    // One character only: a sequence that makes two has no key of its own.
    const xkb_keysym_t keysym = xkb_compose_state_get_one_sym(state.get());
    const char32_t character = keysym != XKB_KEY_NoSymbol ? xkb_keysym_to_utf32(keysym) : 0;
    return character;
}

char32_t DeadKeyFace(xkb_compose_table *compose, xkb_keysym_t dead) {
    const char32_t doubled = Composed(compose, dead, dead);
    return doubled != 0 ? doubled : Composed(compose, dead, XKB_KEY_space);
}
