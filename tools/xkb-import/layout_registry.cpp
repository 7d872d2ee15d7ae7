#include "layout_registry.h"

#include <xkbcommon/xkbregistry.h>

std::vector<std::string> AllLayoutNames() {
    std::vector<std::string> names;
    rxkb_context *context = rxkb_context_new(RXKB_CONTEXT_NO_FLAGS);
    if (context == nullptr) {
        return names;
    }
    if (rxkb_context_parse_default_ruleset(context)) {
        for (rxkb_layout *layout = rxkb_layout_first(context); layout != nullptr;
             layout = rxkb_layout_next(layout)) {
            const char *variant = rxkb_layout_get_variant(layout);
            const std::string name = rxkb_layout_get_name(layout);
            names.push_back(variant != nullptr && variant[0] != 0 ? name + "(" + variant + ")"
                                                                  : name);
        }
    }
    rxkb_context_unref(context);
    return names;
}
