// Importing every keymap of xkeyboard-config as a layout (compiling, editing the template, writing
// the text), beside libxkbcommon compiling the same keymaps alone in the same run. "vs_baseline"
// is the import's time divided by the compile's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "layout_import.h"
#include "layout_registry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

KeyboardLayout *LoadEnglish() {
    SetSearchDirectory(LAYOUTS_DIRECTORY "/");
    KeyboardLayout request = {};
    lstrcpyW(request.name, u"English");
    lstrcpyW(request.subName, u"Main");
    request.number = -1;
    return static_cast<KeyboardLayout *>(LoadKeyBoard(nullptr, &request, nullptr));
}

void ImportBesideKeymapCompile(benchmark::State &state) {
    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    // The registry's "custom" has no keymap: left out without libxkbcommon's error lines.
    xkb_context_set_log_level(context, XKB_LOG_LEVEL_CRITICAL);
    xkb_compose_table *compose =
        xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    KeyboardLayout *english = LoadEnglish();
    CompiledKeymap us;
    std::string error;
    if (english == nullptr || compose == nullptr || !CompileKeymap(context, "us", "", us, error)) {
        state.SkipWithError("no template, Compose table or US keymap");
        return;
    }
    const std::vector<TemplateKey> places = PlaceTemplateKeys(english, us);
    const std::vector<std::string> layouts = AllLayoutNames();
    std::vector<WCHAR> text(2500000 / sizeof(WCHAR));
    double compiling = 0, importing = 0;
    size_t imported = 0;
    for (auto _ : state) {
        // Only what libxkbcommon compiles is imported ("custom" has no keymap).
        std::vector<std::string> compiled;
        Clock::time_point start = Clock::now();
        for (const std::string &name : layouts) {
            std::string layout, variant;
            SplitLayoutName(name, layout, variant);
            const xkb_rule_names names = {"evdev", "pc105", layout.c_str(), variant.c_str(), ""};
            xkb_keymap *keymap =
                xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
            if (keymap != nullptr)
                compiled.push_back(name);
            xkb_keymap_unref(keymap);
        }
        Clock::time_point middle = Clock::now();
        imported = compiled.size();
        for (const std::string &name : compiled) {
            std::string layout, variant;
            SplitLayoutName(name, layout, variant);
            CompiledKeymap keymap;
            CompileKeymap(context, layout, variant, keymap, error);
            ImportReport report;
            KeyboardLayout *layoutMade =
                ImportLayout(english, places, keymap, compose, u"Bench", u"b", report);
            WCHAR *cursor = text.data();
            SaveKeyBoard(layoutMade, &cursor);
            UnLoadKeyBoard(layoutMade);
        }
        Clock::time_point end = Clock::now();
        compiling += Seconds(start, middle);
        importing += Seconds(middle, end);
        state.SetIterationTime(Seconds(middle, end));
    }
    state.counters["vs_baseline"] = importing / compiling;
    state.counters["layouts"] = static_cast<double>(imported);
    UnLoadKeyBoard(english);
    xkb_compose_table_unref(compose);
    xkb_context_unref(context);
}
BENCHMARK(ImportBesideKeymapCompile)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
