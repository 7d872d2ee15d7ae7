// What the Compose table makes of a dead key and the key after it.
#ifndef TOOLS_XKB_IMPORT_COMPOSE_SEQUENCES_H
#define TOOLS_XKB_IMPORT_COMPOSE_SEQUENCES_H

#include <xkbcommon/xkbcommon-compose.h>

bool IsDeadKeysym(xkb_keysym_t keysym);
// What the Compose table makes of the two keysyms, or 0 when nothing or more than one character.
char32_t Composed(xkb_compose_table *compose, xkb_keysym_t dead, xkb_keysym_t base);
// The character a dead key shows: what it makes with itself (the accent alone, "´"), or with
// the space bar.
char32_t DeadKeyFace(xkb_compose_table *compose, xkb_keysym_t dead);

#endif
