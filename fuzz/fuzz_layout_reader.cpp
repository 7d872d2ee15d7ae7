// Layout file text of any shape: the reader over the raw text (its one-pass line reader checked
// against the general one at every line start), then the whole library over the start of the
// same text as a file (catalogue, loading with sub-keyboards, copying, look-ups and writing).
// Inputs are capped so that a run tries many shapes rather than a few large files: every field and
// header limit lies within a few hundred characters.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "layodex_internal.h"
#include "layout_reader.h"

namespace {

const size_t ReaderBytesLimit = 8192;
// The file-level half costs a write, a scan and whole trees: it sees a shorter start.
const size_t FileBytesLimit = 2048;

bool SameField(const FieldValue &a, const FieldValue &b) {
    return a.start == b.start && a.length == b.length;
}

// Wherever a line starts, a line the one-pass reader takes must read as the general reader reads
// it, up to where reading stopped.
void CompareLineReaders(const LayoutText &text) {
    for (const WCHAR *start = text.start; start < text.end; start++) {
        if (start != text.start && start[-1] != '\n')
            continue;
        KeyLine plain = {};
        const WCHAR *plainEnd = start;
        if (!ReadPlainKeyLine(&text, &plainEnd, &plain))
            continue;
        KeyLine general = {};
        const WCHAR *generalEnd = start;
        if (ReadKeyLine(&text, &generalEnd, &general) != nullptr || plainEnd != generalEnd ||
            plain.left != general.left || plain.top != general.top ||
            plain.width != general.width || plain.height != general.height ||
            plain.flags != general.flags || plain.code != general.code ||
            plain.imageIndex != general.imageIndex || !SameField(plain.target, general.target) ||
            !SameField(plain.targetSubName, general.targetSubName) ||
            !SameField(plain.picture, general.picture))
            __builtin_trap();
    }
}

void ReadEverySection(const WCHAR *units, size_t count) {
    LayoutText text;
    InitLayoutText(&text, units, count);
    CompareLineReaders(text);
    SectionHeader header;
    const WCHAR *cursor = text.start;
    while (FindNextHeader(&text, cursor, &header)) {
        Element *keys = ReadSectionKeys(&text, header.keysStart, &cursor);
        ReleaseUnresolvedKeyList(&keys);
    }
}

// In memory where the host offers it: a file created, scanned and removed on disk for every
// input costs more than reading it. Removed when the run ends; its one file is removed after each
// input.
struct FuzzFolder {
    std::string path;
    FuzzFolder() {
        for (const char *base : {"/dev/shm", "/tmp"}) {
            std::string pattern = std::string(base) + "/layodex-fuzz-XXXXXX";
            if (mkdtemp(pattern.data()) != nullptr) {
                path = pattern;
                return;
            }
        }
        abort(); // no private directory: the scan would read whatever else lies around
    }
    ~FuzzFolder() {
        rmdir(path.c_str());
    }
};

const std::string &FuzzDirectory() {
    static FuzzFolder folder;
    return folder.path;
}

const std::string &FuzzFile() {
    static std::string file = FuzzDirectory() + "/fuzz.kbi";
    return file;
}

void LoadWriteAndRelease(const uint8_t *data, size_t size) {
    FILE *out = fopen(FuzzFile().c_str(), "wb");
    if (out == nullptr)
        return;
    fwrite(data, 1, size, out);
    fclose(out);

    SetSearchDirectory(FuzzDirectory().c_str());
    Element *catalogue = LoadKeyBoardsNames();
    static std::vector<WCHAR> written(1250000);
    for (Element *node = catalogue; node != nullptr; node = node->next) {
        KeyboardLayout *layout =
            (KeyboardLayout *)LoadKeyBoard(catalogue, (KeyboardLayout *)node->data, nullptr);
        if (layout == nullptr)
            continue;
        KeyboardLayout *copy = CopyKeyBoard(layout);
        ReplaceKbdNames(copy, u"Copy", u"C", u"Cp");
        FindKeyByUnicode(layout->keys, 'a', 0, KEY_VIRTUAL | KEY_TEMP_MARK);
        FindKeyBoardByUnicode(layout, 16);
        FindKeyBoardByNumber(layout, 2);
        WCHAR *position = written.data();
        SaveKeyBoard(copy, &position);
        UnLoadKeyBoard(layout);
    }
    Element *release = catalogue;
    if (release == nullptr)
        AddElement(&release, nullptr);
    UnLoadKeyBoardsNames(release);
    unlink(FuzzFile().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > ReaderBytesLimit)
        size = ReaderBytesLimit;
    std::vector<WCHAR> units(size / sizeof(WCHAR));
    if (!units.empty())
        memcpy(units.data(), data, units.size() * sizeof(WCHAR));
    ReadEverySection(units.data(), units.size());
    LoadWriteAndRelease(data, size < FileBytesLimit ? size : FileBytesLimit);
    return 0;
}
