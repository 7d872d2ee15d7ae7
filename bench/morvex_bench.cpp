// Converting the German sample, beside loading the template alone: "vs_baseline" is the
// conversion's time (reading, converting, writing into memory) divided by the template load's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "conversion.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

KeyboardLayout *LoadTemplate() {
    KeyboardLayout request = {};
    lstrcpyW(request.name, u"English");
    lstrcpyW(request.subName, u"Main");
    request.number = -1;
    return (KeyboardLayout *)LoadKeyBoard(NULL, &request, NULL);
}

void ReleaseEverything() {
    Element *catalogue = NULL;
    AddElement(&catalogue, NULL);
    UnLoadKeyBoardsNames(catalogue);
}

void ConvertGermanSample(benchmark::State &state) {
    SetSearchDirectory(LAYOUTS_DIRECTORY);
    std::string sample = std::string(LAYOUTS_DIRECTORY) + "/legacy/pennini.deu";
    std::vector<WCHAR> output(1250000);
    double baseline = 0, conversion = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        KeyboardLayout *englishTemplate = LoadTemplate();
        Clock::time_point loaded = Clock::now();
        LegacyLayout legacy;
        ReadLegacyLayout(sample.c_str(), 1252, &legacy);
        KeyboardLayout *result = ConvertLegacyLayout(englishTemplate, &legacy);
        WCHAR *cursor = output.data();
        SaveKeyBoard(result, &cursor);
        FreeLegacyLayout(&legacy);
        Clock::time_point end = Clock::now();
        if (result == NULL)
            state.SkipWithError("conversion failed");
        ReleaseEverything();
        baseline += Seconds(start, loaded);
        conversion += Seconds(loaded, end);
        state.SetIterationTime(Seconds(loaded, end));
    }
    state.counters["vs_baseline"] = conversion / baseline;
}
BENCHMARK(ConvertGermanSample)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
