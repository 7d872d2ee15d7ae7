// Cabinet files: the input itself read as a cabinet, as a device's installer would be handed one
// (a refusal must say why), and the input cut into members, written and read back member for
// member. libgcab is not instrumented, so the second half is what steers the search.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "install/cab_archive.h"

namespace {

// A file of the run's own, removed when the run ends.
struct TemporaryFile {
    std::string path;
    TemporaryFile() {
        char pattern[] = "/tmp/cab-fuzz-XXXXXX";
        int descriptor = mkstemp(pattern);
        if (descriptor < 0)
            abort();
        close(descriptor);
        path = pattern;
    }
    ~TemporaryFile() {
        unlink(path.c_str());
    }
};

const std::string &RawFile() {
    static TemporaryFile file;
    return file.path;
}

const std::string &WrittenFile() {
    static TemporaryFile file;
    return file.path;
}

void ReadRaw(const uint8_t *data, size_t size) {
    FILE *out = fopen(RawFile().c_str(), "wb");
    if (out == nullptr)
        return;
    fwrite(data, 1, size, out);
    fclose(out);
    std::vector<CabMember> members;
    std::string error;
    if (!ReadCabinet(RawFile(), members, error) && error.empty())
        abort();
}

// The first byte gives the number of members (1 to 4); the rest is shared out among them.
void RoundTrip(const uint8_t *data, size_t size) {
    if (size == 0)
        return;
    const size_t count = data[0] % 4 + 1;
    std::vector<CabMember> members;
    const size_t share = (size - 1) / count;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t *start = data + 1 + i * share;
        const size_t length = i + 1 == count ? size - 1 - i * share : share;
        members.push_back({"MEMBER." + std::to_string(100 + i), {start, start + length}});
    }
    std::string error;
    if (!WriteCabinet(WrittenFile(), members, error))
        abort();
    std::vector<CabMember> read;
    if (!ReadCabinet(WrittenFile(), read, error) || read.size() != members.size())
        abort();
    for (size_t i = 0; i < read.size(); ++i) {
        if (read[i].name != members[i].name || read[i].bytes != members[i].bytes)
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ReadRaw(data, size);
    RoundTrip(data, size);
    return 0;
}
