// The layout library's speed, each figure beside a baseline over the same bytes or files:
// "vs_baseline" is the library's time divided by the baseline's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "layodex_internal.h"
#include "layout_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A layout file of about the given size: sections of sixty keys of every kind.
std::u16string GeneratedText(size_t characters) {
    std::u16string text;
    const char16_t *lines[] = {
        u"0, 0, 16, 16, 0, q, 0, 0\r\n",
        u"16, 0, 16, 16, VIRTUAL|STICK, CONTROL, 0, 0\r\n",
        u"32, 16, 24, 16, MACRO, m, \"Hello, world\", 0\r\n",
        u"56, 16, 16, 16, DEADKEY|IMAGEINTERNAL, a, 0, 121\r\n",
        u"72, 32, 36, 16, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Bench,Shift\", 0\r\n",
        u"// a comment line between keys\r\n",
    };
    for (int section = 0; text.size() < characters; section++) {
        text += u"[Bench,B,Sub" + std::u16string(1, u'A' + section % 26) + u",1]\r\n";
        for (int i = 0; i < 60; i++)
            text += lines[i % 6];
    }
    return text;
}

size_t CountLineEnds(const std::u16string &text) {
    size_t count = 0;
    for (char16_t c : text)
        count += c == u'\r' || c == u'\n';
    return count;
}

size_t ReadAllSections(const std::u16string &source) {
    LayoutText text;
    InitLayoutText(&text, source.data(), source.size());
    SectionHeader header;
    const WCHAR *cursor = text.start;
    size_t keys = 0;
    while (FindNextHeader(&text, cursor, &header)) {
        Element *list = ReadSectionKeys(&text, header.keysStart, &cursor);
        for (Element *node = list; node != nullptr; node = node->next)
            keys++;
        ReleaseUnresolvedKeyList(&list);
    }
    return keys;
}

void ReadLargeLayoutText(benchmark::State &state) {
    std::u16string text = GeneratedText(1 << 20);
    double baseline = 0, reader = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(CountLineEnds(text));
        Clock::time_point middle = Clock::now();
        benchmark::DoNotOptimize(ReadAllSections(text));
        Clock::time_point end = Clock::now();
        baseline += Seconds(start, middle);
        reader += Seconds(middle, end);
        state.SetIterationTime(Seconds(middle, end));
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * text.size() * sizeof(char16_t)));
    state.counters["vs_baseline"] = reader / baseline;
}
BENCHMARK(ReadLargeLayoutText)->UseManualTime()->Unit(benchmark::kMillisecond);

void RequestMain(KeyboardLayout *request, const char16_t *name) {
    *request = KeyboardLayout{};
    std::u16string(name).copy(request->name, LAYOUT_NAME_SIZE - 1);
    std::u16string(u"Main").copy(request->subName, 4);
    request->number = -1;
}

void ReleaseEverything(Element *catalogue) {
    if (catalogue == nullptr)
        AddElement(&catalogue, nullptr);
    UnLoadKeyBoardsNames(catalogue);
}

// Baseline: opening, reading and closing the English file once, as every load must at least.
void LoadEnglishTreeFrom(benchmark::State &state, const std::string &directory) {
    SetSearchDirectory(directory.c_str());
    std::string path = directory + "/English.kbi";
    KeyboardLayout request;
    RequestMain(&request, u"English");
    std::vector<char> bytes(1 << 20);
    double baseline = 0, loading = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        DWORD read = 0;
        ReadFile(file, bytes.data(), (DWORD)bytes.size(), &read, NULL);
        CloseHandle(file);
        Clock::time_point middle = Clock::now();
        KeyboardLayout *layout = (KeyboardLayout *)LoadKeyBoard(nullptr, &request, nullptr);
        Clock::time_point end = Clock::now();
        if (layout == nullptr)
            state.SkipWithError("no English layout");
        ReleaseEverything(nullptr);
        baseline += Seconds(start, middle);
        loading += Seconds(middle, end);
        state.SetIterationTime(Seconds(middle, end));
    }
    state.counters["vs_baseline"] = loading / baseline;
}

// The English tree from a directory that holds it alone.
void LoadEnglishTree(benchmark::State &state) {
    std::filesystem::path directory = std::filesystem::temp_directory_path() / "layodex-english";
    std::filesystem::create_directories(directory);
    std::filesystem::copy_file(std::string(LAYOUTS_DIRECTORY) + "/English.kbi",
                               directory / "English.kbi",
                               std::filesystem::copy_options::overwrite_existing);
    LoadEnglishTreeFrom(state, directory.string());
    std::filesystem::remove_all(directory);
}
BENCHMARK(LoadEnglishTree)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same among every shipped layout, all of which a load looks through.
void LoadEnglishTreeAmongShippedLayouts(benchmark::State &state) {
    LoadEnglishTreeFrom(state, LAYOUTS_DIRECTORY);
}
BENCHMARK(LoadEnglishTreeAmongShippedLayouts)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Baseline: listing the same hundred files and opening and closing each.
void CatalogueOfHundredFiles(benchmark::State &state) {
    std::filesystem::path directory = std::filesystem::temp_directory_path() / "layodex-bench";
    std::filesystem::create_directories(directory);
    for (int i = 0; i < 100; i++) {
        std::u16string text = u"[Layout" + std::u16string(1, u'A' + i % 26) +
                              std::u16string(1, u'a' + i / 26) + u",L,Main,1]\r\n" +
                              GeneratedText(2000);
        std::ofstream out(directory / ("layout" + std::to_string(i) + ".kbi"), std::ios::binary);
        out.write((const char *)text.data(), (std::streamsize)(text.size() * 2));
    }
    std::string directoryName = directory.string() + "/";
    SetSearchDirectory(directoryName.c_str());
    double baseline = 0, catalogue = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((directoryName + "*.kbi").c_str(), &found);
        do {
            HANDLE file = CreateFileA((directoryName + found.cFileName).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
            CloseHandle(file);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        Clock::time_point middle = Clock::now();
        Element *names = LoadKeyBoardsNames();
        Clock::time_point end = Clock::now();
        ReleaseEverything(names);
        baseline += Seconds(start, middle);
        catalogue += Seconds(middle, end);
        state.SetIterationTime(Seconds(middle, end));
    }
    state.counters["vs_baseline"] = catalogue / baseline;
    std::filesystem::remove_all(directory);
}
BENCHMARK(CatalogueOfHundredFiles)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
