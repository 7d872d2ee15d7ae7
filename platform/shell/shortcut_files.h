// Windows CE shortcut files: one line of ANSI text, the length of the target in decimal, '#', then
// the target (a program's path, quoted when it holds a blank, perhaps followed by arguments).
#ifndef PLATFORM_SHELL_SHORTCUT_FILES_H
#define PLATFORM_SHELL_SHORTCUT_FILES_H

#include <cstddef>
#include <string>
#include <string_view>

// No shortcut file is larger: the shell reads them whole.
const size_t shortcutFileLimit = 1024;

// The target a shortcut file's bytes hold, as they are (in the ANSI code page). False for bytes
// that are not a shortcut: above the limit, without digits before '#', without a target, with a
// target of another length than the digits say or with a line break or a NUL inside it. One line
// end after the target is allowed.
bool ParseShortcut(std::string_view bytes, std::string &target);
// The bytes of a shortcut file for target; empty when the reader would not take them back.
std::string FormatShortcut(std::string_view target);
// A target's program path and the arguments after it: the path is the quoted part when it starts
// with a quote, else everything up to the first blank; blanks between the two are dropped.
void SplitShortcutTarget(std::u16string_view target, std::u16string &path,
                         std::u16string &arguments);

#endif
