// A megabyte copied onto the device with CeWriteFile in 4096-byte pieces, beside the same pieces
// sent over a plain loopback connection in the same run, each answered with a few bytes and
// written to a file by the receiver, as the device does. "vs_baseline" is the copy's time divided
// by the plain connection's.
#include <benchmark/benchmark.h>

#include "device/boot.h"
#include "rapi/rapi_client.h"

#include <rapi.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
const size_t totalBytes = 1024 * 1024;
const size_t pieceBytes = 4096;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

bool CopyThroughRapi() {
    HANDLE file = CeCreateFile(u"\\My Documents\\copy.bin", GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    static const std::string piece(pieceBytes, 'p');
    bool written = true;
    for (size_t at = 0; at < totalBytes; at += pieceBytes) {
        DWORD put = 0;
        written &= CeWriteFile(file, piece.data(), pieceBytes, &put, nullptr) && put == pieceBytes;
    }
    return CeCloseHandle(file) && written;
}

// The same pieces over a connected pair of loopback sockets: sent, received whole, written to a
// file, and answered with eight bytes that the sender waits for.
bool CopyThroughSocket(int sender, int receiver, const std::string &path) {
    FILE *out = std::fopen(path.c_str(), "wb");
    static const std::string piece(pieceBytes, 'p');
    char received[pieceBytes];
    char answer[8] = {};
    bool copied = out != nullptr;
    for (size_t at = 0; copied && at < totalBytes; at += pieceBytes) {
        copied = send(sender, piece.data(), pieceBytes, 0) == static_cast<ssize_t>(pieceBytes);
        size_t got = 0;
        while (copied && got < pieceBytes) {
            const ssize_t part = recv(receiver, received + got, pieceBytes - got, 0);
            copied = part > 0;
            got += part > 0 ? static_cast<size_t>(part) : 0;
        }
        copied = copied && std::fwrite(received, 1, pieceBytes, out) == pieceBytes &&
                 std::fflush(out) == 0 && send(receiver, answer, 8, 0) == 8 &&
                 recv(sender, answer, 8, MSG_WAITALL) == 8;
    }
    return out != nullptr && std::fclose(out) == 0 && copied;
}

bool LoopbackPair(int &sender, int &receiver) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    sender = socket(AF_INET, SOCK_STREAM, 0);
    const bool paired =
        bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
        listen(listener, 1) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) == 0 &&
        connect(sender, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
        (receiver = accept(listener, nullptr, nullptr)) >= 0;
    close(listener);
    return paired;
}

void CopyOneMegabyte(benchmark::State &state) {
    DeviceOptions options;
    options.folder = std::filesystem::temp_directory_path() / "rapi_bench_device";
    options.serveRapi = true;
    std::filesystem::remove_all(options.folder);
    std::string error;
    if (!BootDevice(options, error) || CeRapiInit() != S_OK) {
        state.SkipWithError(("no device: " + error).c_str());
        return;
    }
    int sender = -1, receiver = -1;
    if (!LoopbackPair(sender, receiver)) {
        state.SkipWithError("no loopback connection");
        return;
    }
    const std::string plainFile = options.folder + "/plain.bin";
    double plain = 0, rapi = 0;
    bool worked = true;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        worked &= CopyThroughSocket(sender, receiver, plainFile);
        const Clock::time_point middle = Clock::now();
        worked &= CopyThroughRapi();
        const Clock::time_point end = Clock::now();
        plain += Seconds(start, middle);
        rapi += Seconds(middle, end);
    }
    if (!worked) {
        state.SkipWithError("a copy failed");
    }
    state.counters["rapi_ms"] = 1000 * rapi / state.iterations();
    state.counters["plain_ms"] = 1000 * plain / state.iterations();
    state.counters["vs_baseline"] = rapi / plain;
    close(sender);
    close(receiver);
    CeRapiUninit();
    PowerOffDevice();
    std::filesystem::remove_all(options.folder);
}

BENCHMARK(CopyOneMegabyte)->Unit(benchmark::kMillisecond);

} // namespace
