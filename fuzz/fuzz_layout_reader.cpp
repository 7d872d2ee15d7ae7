// Layout file text of any shape: the reader over the raw text, then the whole library over the
// same text as a file (catalogue, loading with sub-keyboards, copying, look-ups and writing).
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

void ReadEverySection(const WCHAR *units, size_t count) {
    LayoutText text;
    InitLayoutText(&text, units, count);
    SectionHeader header;
    const WCHAR *cursor = text.start;
    while (FindNextHeader(&text, cursor, &header)) {
        Element *keys = ReadSectionKeys(&text, header.keysStart, &cursor);
        ReleaseUnresolvedKeyList(&keys);
    }
}

const std::string &FuzzDirectory() {
    static std::string directory = [] {
        char pattern[] = "/tmp/layodex-fuzz-XXXXXX";
        const char *made = mkdtemp(pattern);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    return directory;
}

void LoadWriteAndRelease(const uint8_t *data, size_t size) {
    std::string file = FuzzDirectory() + "/fuzz.kbi";
    FILE *out = fopen(file.c_str(), "wb");
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
    unlink(file.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<WCHAR> units(size / sizeof(WCHAR));
    if (!units.empty())
        memcpy(units.data(), data, units.size() * sizeof(WCHAR));
    ReadEverySection(units.data(), units.size());
    LoadWriteAndRelease(data, size);
    return 0;
}
