// Registry files of any shape: whatever is read must write out and read back the same.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "kernel/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string problem;
    RegistryTree tree =
        RegistryFromText(std::string_view(reinterpret_cast<const char *>(data), size), problem);
    std::string written = RegistryText(tree);
    std::string again;
    if (RegistryText(RegistryFromText(written, again)) != written || !again.empty())
        __builtin_trap();
    return 0;
}
