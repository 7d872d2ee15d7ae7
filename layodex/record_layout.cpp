// Hosts read these records through pointers, so their layout must never move.
#include <stddef.h>

#include "layodex.h"

static_assert(sizeof(void *) == 8, "offsets below are those of the 64-bit host");

static_assert(offsetof(Element, data) == 0);
static_assert(offsetof(Element, next) == 8);
static_assert(offsetof(Element, prev) == 16);
static_assert(sizeof(Element) == 24);

static_assert(offsetof(KeyboardLayout, name) == 0);
static_assert(offsetof(KeyboardLayout, subName) == 200);
static_assert(offsetof(KeyboardLayout, label) == 400);
static_assert(offsetof(KeyboardLayout, number) == 412);
static_assert(offsetof(KeyboardLayout, keys) == 416);
static_assert(offsetof(KeyboardLayout, path) == 424);
#ifdef UNDER_CE
static_assert(offsetof(KeyboardLayout, offset) == 944);
static_assert(sizeof(KeyboardLayout) == 952);
#else
static_assert(offsetof(KeyboardLayout, offset) == 684);
static_assert(sizeof(KeyboardLayout) == 688);
#endif

static_assert(offsetof(KeyDef, left) == 0);
static_assert(offsetof(KeyDef, top) == 4);
static_assert(offsetof(KeyDef, width) == 8);
static_assert(offsetof(KeyDef, height) == 12);
static_assert(offsetof(KeyDef, code) == 16);
static_assert(offsetof(KeyDef, flags) == 20);
static_assert(offsetof(KeyDef, target) == 24);
static_assert(offsetof(KeyDef, image) == 32);
static_assert(offsetof(KeyDef, imageIndex) == 40);
static_assert(offsetof(KeyDef, identity) == 44);
static_assert(sizeof(KeyDef) == 48);
