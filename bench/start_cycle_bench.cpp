// What a keyboard program does at start with its layouts (the catalogue, the English tree, the
// release), beside libxkbcommon compiling a two-layout keymap from xkeyboard-config in the same
// run. "vs_baseline" is the cycle's time divided by the compile's; "times_faster" its inverse.
// Cold: nothing remembered from an earlier cycle, as a program that has just started. Warm: the
// same library doing it again, as when a program is told its layouts changed. The folder holds
// English alone, or the seven shipped layouts. The floor is what any cycle here must do.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <xkbcommon/xkbcommon.h>

#include "layodex_internal.h"
#include "layout_scan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

bool CompileUsDe() {
    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context == nullptr)
        return false;
    xkb_rule_names names = {"evdev", "pc105", "us,de", "", ""};
    xkb_keymap *keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    bool compiled = keymap != nullptr;
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return compiled;
}

// A folder of its own holding a copy of English, removed when the run ends.
struct EnglishAloneFolder {
    std::string path;
    EnglishAloneFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "start-cycle-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            return;
        path = pattern + "/";
        std::filesystem::copy_file(std::string(LAYOUTS_DIRECTORY) + "English.kbi",
                                   path + "English.kbi");
    }
    ~EnglishAloneFolder() {
        if (!path.empty())
            std::filesystem::remove_all(path);
    }
};

const char *EnglishAlone() {
    static EnglishAloneFolder folder;
    return folder.path.c_str();
}

KeyboardLayout EnglishRequest() {
    KeyboardLayout request = {};
    lstrcpyW(request.name, u"English");
    lstrcpyW(request.subName, u"Main");
    request.number = -1;
    return request;
}

bool RunStartCycle(const char *folder) {
    SetSearchDirectory(folder);
    Element *catalogue = LoadKeyBoardsNames();
    KeyboardLayout request = EnglishRequest();
    bool loaded = LoadKeyBoard(catalogue, &request, nullptr) != nullptr;
    UnLoadKeyBoardsNames(catalogue);
    return loaded && catalogue != nullptr;
}

// What no start cycle on this platform avoids, for comparison: watching the folder, listing it,
// reading its files, and the zero-filled block per key and per list entry that the loaded records
// are made of, made and freed; as many blocks as loading English makes.
HANDLE FloorWatch = INVALID_HANDLE_VALUE;

int CountEnglishKeys(const char *folder) {
    SetSearchDirectory(folder);
    Element *catalogue = LoadKeyBoardsNames();
    KeyboardLayout request = EnglishRequest();
    LoadKeyBoard(catalogue, &request, nullptr);
    int keys = 0;
    for (Element *layout = LayoutCache; layout != nullptr; layout = layout->next) {
        for (Element *key = ((KeyboardLayout *)layout->data)->keys; key != nullptr; key = key->next)
            keys++;
    }
    UnLoadKeyBoardsNames(catalogue);
    return keys;
}

bool RunStartFloor(const char *folder) {
    static int keyCount = CountEnglishKeys(folder);
    static std::vector<void *> blocks(2 * keyCount);
    FloorWatch = FindFirstChangeNotification(folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    std::string pattern = std::string(folder) + "*.kbi";
    WIN32_FIND_DATA found;
    HANDLE search = FindFirstFile(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool readAll = true;
    do {
        HANDLE file = CreateFile((std::string(folder) + found.cFileName).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        readAll &= file != INVALID_HANDLE_VALUE;
        if (file == INVALID_HANDLE_VALUE)
            continue;
        DWORD size = GetFileSize(file, nullptr), read = 0;
        void *text = LocalAlloc(LMEM_FIXED, size + sizeof(WCHAR));
        ReadFile(file, text, size, &read, nullptr);
        CloseHandle(file);
        LocalFree(text);
    } while (FindNextFile(search, &found));
    FindClose(search);
    for (int i = 0; i < keyCount; i++) {
        blocks[2 * i] = LocalAlloc(LPTR, sizeof(KeyDef));
        blocks[2 * i + 1] = LocalAlloc(LPTR, sizeof(Element));
    }
    for (void *block : blocks)
        LocalFree(block);
    return readAll && FloorWatch != INVALID_HANDLE_VALUE;
}

void ForgetFloor() {
    if (FloorWatch != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FloorWatch);
    FloorWatch = INVALID_HANDLE_VALUE;
}

// Each iteration compiles the keymap a few times, then runs the cycle as many times, so that
// each is timed with its own code and data in the caches rather than the other's.
void StartCycle(benchmark::State &state, bool cold, const char *folder,
                bool (*runCycle)(const char *) = RunStartCycle,
                void (*forget)() = ForgetLayoutFiles) {
    const int repeats = 8;
    runCycle(folder);
    double compiling = 0, cycling = 0;
    bool worked = true;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        for (int i = 0; i < repeats; i++)
            worked &= CompileUsDe();
        Clock::time_point middle = Clock::now();
        double cycleTime = 0;
        for (int i = 0; i < repeats; i++) {
            // A new process has nothing to forget: what forgetting costs is left out.
            if (cold)
                forget();
            Clock::time_point cycleStart = Clock::now();
            worked &= runCycle(folder);
            cycleTime += Seconds(cycleStart, Clock::now());
        }
        if (!worked)
            state.SkipWithError("no us,de keymap or no English layout");
        compiling += Seconds(start, middle);
        cycling += cycleTime;
        state.SetIterationTime(cycleTime / repeats);
    }
    forget();
    state.counters["vs_baseline"] = cycling / compiling;
    state.counters["times_faster"] = compiling / cycling;
}

// Each run is timed by the benchmark itself, fifty times over.
void TimedFiftyTimes(benchmark::internal::Benchmark *benchmark) {
    benchmark->UseManualTime()->Iterations(50)->Unit(benchmark::kMicrosecond);
}

const char *FolderOf(bool englishAlone) {
    return englishAlone ? EnglishAlone() : LAYOUTS_DIRECTORY;
}

void ColdStartCycleBesideKeymapCompile(benchmark::State &state, bool englishAlone) {
    StartCycle(state, true, FolderOf(englishAlone));
}
BENCHMARK_CAPTURE(ColdStartCycleBesideKeymapCompile, EnglishAlone, true)->Apply(TimedFiftyTimes);
BENCHMARK_CAPTURE(ColdStartCycleBesideKeymapCompile, ShippedLayouts, false)->Apply(TimedFiftyTimes);

void ColdStartFloorBesideKeymapCompile(benchmark::State &state) {
    StartCycle(state, true, EnglishAlone(), RunStartFloor, ForgetFloor);
}
BENCHMARK(ColdStartFloorBesideKeymapCompile)->Apply(TimedFiftyTimes);

void WarmStartCycleBesideKeymapCompile(benchmark::State &state, bool englishAlone) {
    StartCycle(state, false, FolderOf(englishAlone));
}
BENCHMARK_CAPTURE(WarmStartCycleBesideKeymapCompile, EnglishAlone, true)->Apply(TimedFiftyTimes);
BENCHMARK_CAPTURE(WarmStartCycleBesideKeymapCompile, ShippedLayouts, false)->Apply(TimedFiftyTimes);

} // namespace
