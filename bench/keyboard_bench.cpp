// The keyboard program on the emulated device. "vs_baseline" divides each measurement by a
// baseline taken in the same iteration:
// - re-showing the displayed layout after a held-key change (the differential paint) beside
//   showing another layout in full;
// - starting the keyboard until its first layout is painted beside starting Notes until it is
//   painted;
// - a tap on a key from stylus-down until its character is in Notes beside the same character
//   sent with keybd_event alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "device/boot.h"
#include "user/input.h"
#include "device/product_install.h"
#include "kernel/scheduler.h"
#include "held_keys.h"
#include "keyboard_window.h"
#include "pennakbd_state.h"

extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int);

namespace {

using Clock = std::chrono::steady_clock;

const char16_t keyboardProgram[] = u"\\Program Files\\Pennakey\\pennakbd.exe";

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void BootWithProduct() {
    DeviceOptions options;
    options.folder = (std::filesystem::temp_directory_path() / "pennakey_keyboard_bench").string();
    std::filesystem::remove_all(options.folder);
    std::string error;
    BootDevice(options, error);
    InstallProduct(PENNAKEY_PRODUCT_DIST, error);
    RegisterBuiltInProgram(keyboardProgram, WinMain);
}

void Start(const char16_t *path) {
    PROCESS_INFORMATION information;
    CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                   &information);
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
}

void Show(Element *layout) {
    SendMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, reinterpret_cast<WPARAM>(layout), 0);
    RunUntilIdle();
}

void DifferentialRepaint(benchmark::State &state) {
    BootWithProduct();
    Start(keyboardProgram);
    Element *main = DisplayedLayout();
    KeyDef *shift = Layodex.FindKeyByUnicode(main, VK_SHIFT, KEY_STICK, 0);
    Element *shifted = shift != nullptr && shift->target != nullptr
                           ? static_cast<KeyboardLayout *>(shift->target)->keys
                           : main;
    KeyDef *control = Layodex.FindKeyByUnicode(main, VK_CONTROL, KEY_STICK, 0);
    double full = 0, differential = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        Show(shifted);
        Show(main);
        Clock::time_point shown = Clock::now();
        ToggleHeldKey(control);
        Show(main);
        ToggleHeldKey(control);
        Show(main);
        Clock::time_point end = Clock::now();
        full += Seconds(start, shown);
        differential += Seconds(shown, end);
        state.SetIterationTime(Seconds(shown, end) / 2);
    }
    state.counters["vs_baseline"] = differential / full;
    PowerOffDevice();
}
BENCHMARK(DifferentialRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

void StartToFirstPaint(benchmark::State &state) {
    double notes = 0, keyboard = 0;
    for (auto _ : state) {
        BootWithProduct();
        Clock::time_point start = Clock::now();
        Start(u"\\Windows\\notes.exe");
        Clock::time_point notesPainted = Clock::now();
        Start(keyboardProgram);
        Clock::time_point end = Clock::now();
        notes += Seconds(start, notesPainted);
        keyboard += Seconds(notesPainted, end);
        state.SetIterationTime(Seconds(notesPainted, end));
        PowerOffDevice();
    }
    state.counters["vs_baseline"] = keyboard / notes;
}
BENCHMARK(StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

void TapToCharacter(benchmark::State &state) {
    BootWithProduct();
    Start(u"\\Windows\\notes.exe");
    Start(keyboardProgram);
    KeyDef *a = Layodex.FindKeyByUnicode(DisplayedLayout(), 'a', 0, 0);
    RECT window;
    GetWindowRect(KeyboardWindow, &window);
    const RECT face = ScaleKeyRect(a);
    const int x = window.left + (face.left + face.right) / 2;
    const int y = window.top + (face.top + face.bottom) / 2;
    double typed = 0, tapped = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        keybd_event('A', 0, 0, 0);
        keybd_event('A', 0, KEYEVENTF_KEYUP, 0);
        RunUntilIdle();
        Clock::time_point sent = Clock::now();
        StylusDown(x, y);
        StylusUp(x, y);
        RunUntilIdle();
        // The keyboard asks Notes for its focus, a few milliseconds of the device's time.
        AdvanceDeviceTime(30);
        Clock::time_point end = Clock::now();
        typed += Seconds(start, sent);
        tapped += Seconds(sent, end);
        state.SetIterationTime(Seconds(sent, end));
    }
    state.counters["vs_baseline"] = tapped / typed;
    PowerOffDevice();
}
BENCHMARK(TapToCharacter)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
