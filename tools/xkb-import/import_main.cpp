// pennakey-xkb-import LAYOUT[(VARIANT)]... [--all] --out DIR [--template DIR]: each keymap of
// xkeyboard-config as a .kbi layout, made from the English template and written by the layout
// library. A line on standard error for each layout with keys left inert, and a summary.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "layout_import.h"
#include "layout_output.h"
#include "layout_registry.h"

namespace {

struct LayoutRequest {
    std::string name; // "de" or "de(neo)"
    // The registry may list a layout that has no keymap here ("custom" is a place for the user's
    // own file): such a layout is reported and skipped, where one named by the user fails the run.
    bool fromRegistry;
};

struct Options {
    std::vector<LayoutRequest> layouts;
    std::string out;
    std::string templateFolder;
};

bool ReadOptions(int argc, char **argv, Options &options) {
    for (int i = 1; i < argc; i++) {
        const std::string argument = argv[i];
        if ((argument == "--out" || argument == "--template") && i + 1 < argc) {
            (argument == "--out" ? options.out : options.templateFolder) = argv[++i];
        } else if (argument == "--all") {
            for (const std::string &name : AllLayoutNames()) {
                options.layouts.push_back({name, true});
            }
        } else if (!argument.empty() && argument[0] != '-') {
            options.layouts.push_back({argument, false});
        } else {
            return false;
        }
    }
    return !options.out.empty() && !options.layouts.empty();
}

// Beside the tool, as the build lays its distribution out.
std::string DefaultTemplateFolder(const char *program) {
    const std::string path = program;
    const size_t slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/desktop";
}

// "de(neo)" is written as "de_neo.kbi"; only letters, digits, "-" and "_" stay.
std::string FileNameOf(const std::string &layout, const std::string &variant) {
    std::string name = variant.empty() ? layout : layout + "_" + variant;
    for (char &c : name) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_';
        c = kept ? c : '_';
    }
    return name + ".kbi";
}

bool WriteLayout(KeyboardLayout *layout, const std::string &path) {
    std::vector<WCHAR> text(OUTPUT_CAPACITY / sizeof(WCHAR));
    WCHAR *cursor = text.data();
    SaveKeyBoard(layout, &cursor);
    const size_t units = static_cast<size_t>(cursor - text.data());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(text.data()),
               static_cast<std::streamsize>(units * sizeof(WCHAR)));
    return units > 0 && file.good();
}

KeyboardLayout *LoadEnglishTemplate(const std::string &folder) {
    SetSearchDirectory((folder + "/").c_str());
    KeyboardLayout request = {};
    lstrcpyW(request.name, u"English");
    lstrcpyW(request.subName, u"Main");
    request.number = -1;
    return static_cast<KeyboardLayout *>(LoadKeyBoard(nullptr, &request, nullptr));
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        fprintf(stderr, "usage: pennakey-xkb-import LAYOUT[(VARIANT)]... [--all] --out DIR "
                        "[--template DIR]\n");
        return 2;
    }
    if (options.templateFolder.empty()) {
        options.templateFolder = DefaultTemplateFolder(argv[0]);
    }
    KeyboardLayout *english = LoadEnglishTemplate(options.templateFolder);
    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    CompiledKeymap us;
    std::string error;
    if (english == nullptr || context == nullptr || !CompileKeymap(context, "us", "", us, error)) {
        fprintf(stderr, "pennakey-xkb-import: no English template in %s, or no US keymap\n",
                options.templateFolder.c_str());
        return 1;
    }
    const std::vector<TemplateKey> places = PlaceTemplateKeys(english, us);
    // Dead keys compose as an English (US) UTF-8 system composes them.
    xkb_compose_table *compose =
        xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (compose == nullptr) {
        fprintf(stderr, "pennakey-xkb-import: no Compose table for en_US.UTF-8; dead keys stay "
                        "inert\n");
    }
    int written = 0, inert = 0, failed = 0, skipped = 0, uncomposed = 0;
    for (const LayoutRequest &request : options.layouts) {
        const std::string &full = request.name;
        std::string layout, variant;
        SplitLayoutName(full, layout, variant);
        CompiledKeymap keymap;
        if (!CompileKeymap(context, layout, variant, keymap, error)) {
            fprintf(stderr, "%s: %s\n", full.c_str(), error.c_str());
            (request.fromRegistry ? skipped : failed)++;
            continue;
        }
        ImportReport report;
        KeyboardLayout *imported =
            ImportLayout(english, places, keymap, compose, LayoutNameOf(keymap.description),
                         LayoutLabelOf(layout), report);
        const std::string path = options.out + "/" + FileNameOf(layout, variant);
        if (imported == nullptr || !WriteLayout(imported, path)) {
            fprintf(stderr, "%s: cannot write %s\n", full.c_str(), path.c_str());
            failed++;
        } else {
            written++;
            if (report.inertKeys > 0) {
                fprintf(stderr, "%s: %d keys inert\n", full.c_str(), report.inertKeys);
            }
        }
        inert += report.inertKeys;
        uncomposed += report.deadKeysWithoutCompose;
        UnLoadKeyBoard(imported);
    }
    fprintf(stderr,
            "%d layouts written, %d keys inert, %d dead keys without compose data, %d layouts "
            "failed, %d skipped\n",
            written, inert, uncomposed, failed, skipped);
    xkb_compose_table_unref(compose);
    UnLoadKeyBoard(english);
    xkb_context_unref(context);
    return failed == 0 ? 0 : 1;
}
