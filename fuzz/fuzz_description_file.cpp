// Any bytes as an application manager's description file: the reader never reads past them, and
// what it answers holds together: a component whenever it got past [CEAppManager], and cabinet
// names that are neither empty nor carry the blanks, commas or line ends around them.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "appmgr/description_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    InstallDescription description;
    const DescriptionFault fault =
        ReadDescriptionFile(reinterpret_cast<const char *>(data), size, description);
    if ((fault == DescriptionFault::noComponent) != description.component.empty())
        abort();
    if ((fault == DescriptionFault::none) == description.cabFiles.empty())
        abort();
    for (const std::string &file : description.cabFiles) {
        if (file.empty() || file.find_first_of(",\r\n") != std::string::npos)
            abort();
        if (file.front() == ' ' || file.front() == '\t' || file.back() == ' ' ||
            file.back() == '\t')
            abort();
    }
    return 0;
}
