// The icons LoadIcon gives for a NULL instance: simple pictures drawn here, 32 x 32.
#ifndef PLATFORM_GDI_BUILT_IN_ICONS_H
#define PLATFORM_GDI_BUILT_IN_ICONS_H

#include "engine/icon_files.h"

// The picture of IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK or
// IDI_WINLOGO by its id; false for any other.
bool BuiltInIconImage(unsigned id, IconImage &out);

#endif
