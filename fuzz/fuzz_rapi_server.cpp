// Any bytes sent to a running device's RAPI server on a connection of their own: the device
// answers what is a request, closes the connection on what is not, and neither crashes nor keeps
// more than a message's worth. Requests that start programs are left out, so that the device does
// not fill with them. It starts from a well-formed request of every other call
// (tests/data/platform/rapi_requests, written by make_seed_requests.py there).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "device/boot.h"
#include "kernel/scheduler.h"
#include "rapi/rapi_messages.h"
#include "rapi/rapi_server.h"

namespace {

bool Booted() {
    DeviceOptions options;
    options.folder = (std::filesystem::temp_directory_path() / "pennakey_fuzz_rapi").string();
    options.serveRapi = true;
    std::filesystem::remove_all(options.folder);
    std::string error;
    return BootDevice(options, error);
}

// Whether the bytes hold a request, framed, that would start a program.
bool StartsAProgram(const uint8_t *data, size_t size) {
    MessageFramer framer;
    framer.Add(data, size < rapiReadChunk ? size : rapiReadChunk);
    std::vector<uint8_t> body;
    while (framer.Next(body) == MessageFramer::Result::message) {
        if (body.size() >= 2 &&
            (body[0] | body[1] << 8) == static_cast<int>(RapiCall::createProcess)) {
            return true;
        }
    }
    return size > rapiReadChunk; // what lies beyond is not looked at, so not sent either
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const bool booted = Booted();
    if (!booted || StartsAProgram(data, size)) {
        return 0;
    }
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(RapiServerPort()));
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        abort();
    }
    send(fd, data, size, MSG_NOSIGNAL);
    RunUntilIdle();
    char reply[4096];
    while (recv(fd, reply, sizeof(reply), MSG_DONTWAIT) > 0) {
        RunUntilIdle();
    }
    close(fd);
    RunUntilIdle(); // the device sees the connection go and closes what it opened
    return 0;
}
