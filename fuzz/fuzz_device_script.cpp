// Device scripts from arbitrary text: split into words, then run on a booted device, except the
// commands that start programs or write files.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device/boot.h"
#include "device/device_script.h"

namespace {

bool Booted() {
    DeviceOptions options;
    options.folder = (std::filesystem::temp_directory_path() / "pennakey_fuzz_device").string();
    std::string error;
    return BootDevice(options, error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const bool booted = Booted();
    if (!booted) {
        return 0;
    }
    const std::string text(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    ScriptLine line;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (SplitScriptLine(text.substr(start, end - start), line) && !line.words.empty() &&
            line.words[0] != "start" && line.words[0] != "screenshot") {
            std::string out;
            std::string error;
            RunScriptCommand(line, out, error);
        }
        start = end + 1;
    }
    return 0;
}
