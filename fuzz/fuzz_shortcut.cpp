// Shortcut files of any bytes: a target read is one line that writes back to a file read the same,
// and splits into a path and arguments taken from inside it.
#include "kernel/code_pages.h"
#include "shell/shortcut_files.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    std::string target;
    if (!ParseShortcut(bytes, target)) {
        return 0;
    }
    if (target.empty() || target.size() > size ||
        target.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        __builtin_trap();
    }
    std::string again;
    if (!ParseShortcut(FormatShortcut(target), again) || again != target) {
        __builtin_trap();
    }
    const std::u16string wide = WideFromAnsi(target);
    std::u16string path;
    std::u16string arguments;
    SplitShortcutTarget(wide, path, arguments);
    if (path.size() + arguments.size() > wide.size() ||
        (!arguments.empty() && wide.find(arguments) == std::u16string::npos)) {
        __builtin_trap();
    }
    return 0;
}
