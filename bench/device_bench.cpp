// The emulated device's screen and input. "vs_baseline" divides each measurement by a baseline
// taken in the same iteration:
// - a full repaint of a 240 x 320 screen (desktop, task bar, Notes with text) beside copying a
//   whole screen's worth of pixels to it with one BitBlt;
// - 1,000 characters typed into Notes with keybd_event beside 1,000 posted messages that Notes'
//   loop takes and dispatches without doing anything;
// - 16,000 characters typed into one note beside 4,000 typed into another: "vs_baseline" near 4
//   says each key costs the same however long the note has grown.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "device/automation.h"
#include "device/boot.h"
#include "kernel/scheduler.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void BootWithNotes() {
    DeviceOptions options;
    options.folder = (std::filesystem::temp_directory_path() / "pennakey_device_bench").string();
    std::string error;
    BootDevice(options, error);
    PROCESS_INFORMATION information;
    CreateProcessW(u"\\Windows\\notes.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                   nullptr, &information);
    RunUntilIdle();
}

void RepaintWholeScreen(benchmark::State &state) {
    BootWithNotes();
    TypeText("The quick brown fox\njumps over the lazy dog");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 240, 320);
    HGDIOBJ old = SelectObject(memory, picture);
    double baseline = 0, repaint = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        BitBlt(screen, 0, 0, 240, 320, memory, 0, 0, SRCCOPY);
        Clock::time_point copied = Clock::now();
        InvalidateRect(nullptr, nullptr, TRUE);
        RunUntilIdle();
        Clock::time_point end = Clock::now();
        baseline += Seconds(start, copied);
        repaint += Seconds(copied, end);
        state.SetIterationTime(Seconds(copied, end));
    }
    state.counters["vs_baseline"] = repaint / baseline;
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    PowerOffDevice();
}
BENCHMARK(RepaintWholeScreen)->UseManualTime()->Unit(benchmark::kMicrosecond);

void TypeThousandCharacters(benchmark::State &state) {
    double baseline = 0, typing = 0;
    for (auto _ : state) {
        BootWithNotes();
        HWND edit = FindWindowW(u"Notes", nullptr);
        Clock::time_point start = Clock::now();
        for (int i = 0; i < 1000; ++i) {
            PostMessageW(edit, WM_NULL, 0, 0);
            RunUntilIdle();
        }
        Clock::time_point posted = Clock::now();
        for (int i = 0; i < 1000; ++i) {
            const BYTE key = static_cast<BYTE>(i % 40 == 39 ? VK_RETURN : 'A' + i % 26);
            keybd_event(key, 0, 0, 0);
            keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
            RunUntilIdle();
        }
        Clock::time_point end = Clock::now();
        baseline += Seconds(start, posted);
        typing += Seconds(posted, end);
        state.SetIterationTime(Seconds(posted, end));
        PowerOffDevice();
    }
    state.counters["vs_baseline"] = typing / baseline;
}
BENCHMARK(TypeThousandCharacters)->UseManualTime()->Unit(benchmark::kMillisecond);

// Words and spaces, with a line end now and then, as a note is typed.
double SecondsToType(int characters) {
    BootWithNotes();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < characters; ++i) {
        const BYTE key = static_cast<BYTE>(i % 40 == 39 ? VK_RETURN
                                           : i % 6 == 5 ? VK_SPACE
                                                        : 'A' + i % 26);
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        RunUntilIdle();
    }
    const double seconds = Seconds(start, Clock::now());
    PowerOffDevice();
    return seconds;
}

void TypeALongNote(benchmark::State &state) {
    double shorter = 0, longer = 0;
    for (auto _ : state) {
        shorter += SecondsToType(4000);
        const double time = SecondsToType(16000);
        longer += time;
        state.SetIterationTime(time);
    }
    state.counters["vs_baseline"] = longer / shorter;
}
BENCHMARK(TypeALongNote)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
