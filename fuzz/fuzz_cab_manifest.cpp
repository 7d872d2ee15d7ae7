// Cabinet manifests of any shape: read with every bound checked, and what reads writes back into
// a manifest that reads the same.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "install/cab_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Names beyond the writer's limit would be cut, and the round trip with them.
    if (size > 16000)
        return 0;
    CabManifest first;
    std::string problem;
    if (!ReadCabManifest(data, size, first, problem))
        return 0;
    const std::vector<uint8_t> written = WriteCabManifest(first);
    CabManifest second;
    if (!ReadCabManifest(written.data(), written.size(), second, problem))
        abort();
    if (WriteCabManifest(second) != written)
        abort();
    return 0;
}
