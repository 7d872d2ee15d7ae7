// Every layout and variant xkeyboard-config describes, as libxkbregistry reads its rules.
#ifndef TOOLS_XKB_IMPORT_LAYOUT_REGISTRY_H
#define TOOLS_XKB_IMPORT_LAYOUT_REGISTRY_H

#include <string>
#include <vector>

// "LAYOUT" and "LAYOUT(VARIANT)" names of the evdev rules, in the registry's order; empty when
// the registry cannot be read.
std::vector<std::string> AllLayoutNames();

#endif
