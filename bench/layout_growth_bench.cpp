// How the layout library's costs grow: each large case beside the same work at a small size in
// the same run. "per_item_vs_small" is the large case's time per section or layout divided by
// the small case's: 1 where the cost grows with the work, 100 where it grows with its square
// over a hundredfold size. Every case starts with nothing remembered, as a program that starts.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "layodex_internal.h"
#include "layout_scan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A folder of its own for each case, gone when the case ends.
struct BenchFolder {
    explicit BenchFolder(const std::string &name)
        : path((std::filesystem::temp_directory_path() / ("layodex-growth-" + name)).string() +
               "/") {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~BenchFolder() {
        std::filesystem::remove_all(path);
    }
    void Write(const std::string &name, const std::u16string &text) const {
        std::ofstream out(path + name, std::ios::binary);
        out.write((const char *)text.data(), (std::streamsize)(text.size() * sizeof(char16_t)));
    }
    std::string path;
};

std::u16string Number(int value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

void ReleaseEverything(Element *catalogue) {
    if (catalogue == nullptr)
        AddElement(&catalogue, nullptr);
    UnLoadKeyBoardsNames(catalogue);
}

// Starts from nothing remembered, as a program that has just started; what forgetting costs
// is left out of every time.
void StartFresh(const std::string &folder) {
    SetSearchDirectory(folder.c_str());
    ForgetLayoutFiles();
}

KeyboardLayout *LoadMain(const char16_t *name) {
    KeyboardLayout request = {};
    std::u16string(name).copy(request.name, LAYOUT_NAME_SIZE - 1);
    std::u16string(u"Main").copy(request.subName, 4);
    request.number = -1;
    return (KeyboardLayout *)LoadKeyBoard(nullptr, &request, nullptr);
}

// The large case and the small one, each from nothing remembered in every iteration; the large
// one's time is the one shown. Negative times are failures.
typedef double (*TimedCase)(const std::string &folder);
void LargeBesideSmall(benchmark::State &state, const std::string &large, int largeItems,
                      const std::string &small, int smallItems, TimedCase timed) {
    double largeTime = 0, smallTime = 0;
    for (auto _ : state) {
        double largeOnce = timed(large);
        double smallOnce = timed(small);
        if (largeOnce < 0 || smallOnce < 0)
            state.SkipWithError("nothing loaded");
        largeTime += largeOnce;
        smallTime += smallOnce;
        state.SetIterationTime(largeOnce);
    }
    ForgetLayoutFiles();
    state.counters["per_item_vs_small"] = (largeTime / largeItems) / (smallTime / smallItems);
}

// Sections of about 200 bytes, each a "Main" layout of its own name: 50,505 make 10 MB.
std::u16string CatalogueText(int sections) {
    std::u16string text;
    for (int i = 0; i < sections; i++) {
        text += u"[Layout" + Number(i) + u",L,Main,1]\r\n";
        text += u"0, 0, 16, 16, 0, q, 0, 0\r\n16, 0, 16, 16, VIRTUAL|STICK, SHIFT, 0, 0\r\n";
        text += u"// a comment\r\n";
    }
    return text;
}

double TimeCatalogue(const std::string &folder) {
    StartFresh(folder);
    Clock::time_point start = Clock::now();
    Element *catalogue = LoadKeyBoardsNames();
    Clock::time_point end = Clock::now();
    if (catalogue == nullptr)
        return -1;
    ReleaseEverything(catalogue);
    return Seconds(start, end);
}

void CatalogueOfTenMegabyteFile(benchmark::State &state) {
    const int large = 50505, small = large / 100;
    BenchFolder largeFolder("catalogue-large"), smallFolder("catalogue-small");
    largeFolder.Write("many.kbi", CatalogueText(large));
    smallFolder.Write("many.kbi", CatalogueText(small));
    LargeBesideSmall(state, largeFolder.path, large, smallFolder.path, small, TimeCatalogue);
}
BENCHMARK(CatalogueOfTenMegabyteFile)->UseManualTime()->Unit(benchmark::kMillisecond);

// Sub-keyboards S1 to Sn: in a chain, each leads to the next; off one Main, Main leads to each.
std::u16string SubKeyboardText(int count, bool chain) {
    std::u16string text = u"[Tree,T,Main,1]\r\n";
    for (int i = 1; i <= count && (i == 1 || !chain); i++)
        text += u"0, 0, 16, 16, NEWKEYBD, a, \"Tree,S" + Number(i) + u"\", 0\r\n";
    for (int i = 1; i <= count; i++) {
        text += u"[Tree,T,S" + Number(i) + u",1]\r\n0, 0, 16, 16, 0, b, 0, 0\r\n";
        if (chain && i < count)
            text += u"0, 0, 16, 16, NEWKEYBD, a, \"Tree,S" + Number(i + 1) + u"\", 0\r\n";
    }
    return text;
}

double TimeTreeLoad(const std::string &folder) {
    StartFresh(folder);
    Clock::time_point start = Clock::now();
    KeyboardLayout *tree = LoadMain(u"Tree");
    Clock::time_point end = Clock::now();
    ReleaseEverything(nullptr);
    return tree != nullptr ? Seconds(start, end) : -1;
}

void LoadTenThousandSubKeyboards(benchmark::State &state, bool chain) {
    const int large = 10000, small = large / 100;
    std::string kind = chain ? "chain" : "flat";
    BenchFolder largeFolder(kind + "-large"), smallFolder(kind + "-small");
    largeFolder.Write("tree.kbi", SubKeyboardText(large, chain));
    smallFolder.Write("tree.kbi", SubKeyboardText(small, chain));
    LargeBesideSmall(state, largeFolder.path, large, smallFolder.path, small, TimeTreeLoad);
}

void LoadChainOfTenThousandSubKeyboards(benchmark::State &state) {
    LoadTenThousandSubKeyboards(state, true);
}
BENCHMARK(LoadChainOfTenThousandSubKeyboards)->UseManualTime()->Unit(benchmark::kMillisecond);

void LoadTenThousandSubKeyboardsOffOneMain(benchmark::State &state) {
    LoadTenThousandSubKeyboards(state, false);
}
BENCHMARK(LoadTenThousandSubKeyboardsOffOneMain)->UseManualTime()->Unit(benchmark::kMillisecond);

// A program switching layouts loads English again and again: beside a hundred other layout
// files it should cost little more than alone. Each folder's first load is left out of the time.
double TimeRepeatedLoads(const std::string &folder, int loads) {
    ReleaseEverything(nullptr);
    StartFresh(folder);
    LoadMain(u"English");
    ReleaseEverything(nullptr);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < loads; i++) {
        if (LoadMain(u"English") == nullptr)
            return -1;
        ReleaseEverything(nullptr);
    }
    return Seconds(start, Clock::now());
}

void LoadEnglishBesideHundredLayouts(benchmark::State &state) {
    BenchFolder alone("english-alone"), beside("english-beside");
    std::filesystem::copy_file(std::string(LAYOUTS_DIRECTORY) + "/English.kbi",
                               alone.path + "English.kbi");
    std::filesystem::copy_file(std::string(LAYOUTS_DIRECTORY) + "/English.kbi",
                               beside.path + "English.kbi");
    for (int i = 0; i < 100; i++) {
        std::u16string text;
        for (int section = 0; section < 8; section++) {
            text += u"[Other" + Number(i) + u",O," +
                    (section == 0 ? u"Main" : u"Sub" + Number(section)) + u",1]\r\n";
            for (int key = 0; key < 30; key++)
                text += u"0, 0, 16, 16, 0, q, 0, 0\r\n";
        }
        beside.Write("other" + std::to_string(i) + ".kbi", text);
    }
    const int loads = 100;
    double aloneTime = 0, besideTime = 0;
    for (auto _ : state) {
        double aloneOnce = TimeRepeatedLoads(alone.path, loads);
        double besideOnce = TimeRepeatedLoads(beside.path, loads);
        if (aloneOnce < 0 || besideOnce < 0)
            state.SkipWithError("no English layout");
        aloneTime += aloneOnce;
        besideTime += besideOnce;
        state.SetIterationTime(besideOnce / loads);
    }
    ForgetLayoutFiles();
    state.counters["vs_alone"] = besideTime / aloneTime;
}
// A fixed count: each iteration also starts both folders afresh, which the time leaves out.
BENCHMARK(LoadEnglishBesideHundredLayouts)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMicrosecond);

} // namespace
