// Dead keys of a keymap as the layout format has them: a DEADKEY key leading to a dead copy of
// the layout, whose keys type what the Compose table makes of the dead key and theirs.
#ifndef TOOLS_XKB_IMPORT_DEAD_KEYS_H
#define TOOLS_XKB_IMPORT_DEAD_KEYS_H

#include "compose_sequences.h"
#include "layout_import.h"

// Every dead keysym on the layout's levels gets its dead copy of the layout (sub-names "Dead1Main",
// "Dead1Shift", ...), in which each key types its composition with the dead key (a MAP key) or,
// where the table has none, its own character after the dead key's face; the dead key leads there
// and, from its place in the copy, back. A dead keysym without a face the table gives stays
// inert. Counted in the report.
void AddDeadKeys(KeyboardLayout *layout, const std::vector<TemplateKey> &places,
                 const CompiledKeymap &keymap, xkb_compose_table *compose, ImportReport &report);

#endif
