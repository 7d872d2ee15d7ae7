// The device's RAPI server: sockets polled as a service of the run, each request read whole and
// checked before it is carried out with the device's own calls.
#include "rapi/rapi_server.h"

#include "device/automation.h"
#include "kernel/device_identity.h"
#include "kernel/host_paths.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"
#include "rapi/rapi_messages.h"

#include <windows.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

const char rapiPortFileName[] = "rapi-port";

namespace {

unsigned long requestsServed = 0;
// Each connection may hold a message's worth of bytes: their number is bounded too.
const size_t maxConnections = 8;

// What a connection has opened, by the number the desktop knows it by.
struct OpenedThing {
    enum class Kind { file, key, search } kind = Kind::file;
    HANDLE handle = nullptr;
    HKEY key = nullptr;
};

struct Connection {
    int fd = -1;
    MessageFramer framer;
    std::vector<uint8_t> outgoing; // replies not yet taken by the socket
    std::map<uint32_t, OpenedThing> opened;
    uint32_t nextNumber = 1;
};

struct RapiServer : MachinePart {
    ~RapiServer() override;
    Machine *machine = nullptr;
    int listener = -1;
    int port = 0;
    std::string portFile; // goes with the server, so that no one looks for a device long gone
    bool plugged = true;
    std::vector<std::unique_ptr<Connection>> connections;
};

std::vector<RapiServer *> &Servers() {
    static std::vector<RapiServer *> servers;
    return servers;
}

RapiServer &TheServer() {
    return MachineState<RapiServer>();
}

void CloseConnection(RapiServer &server, Connection &connection) {
    Machine *previous = SwitchToMachine(server.machine);
    for (const auto &[number, thing] : connection.opened) {
        switch (thing.kind) {
        case OpenedThing::Kind::file:
            CloseHandle(thing.handle);
            break;
        case OpenedThing::Kind::key:
            RegCloseKey(thing.key);
            break;
        case OpenedThing::Kind::search:
            FindClose(thing.handle);
            break;
        }
    }
    SwitchToMachine(previous);
    connection.opened.clear();
    close(connection.fd);
    connection.fd = -1;
}

void DropConnections(RapiServer &server) {
    for (auto &connection : server.connections) {
        CloseConnection(server, *connection);
    }
    server.connections.clear();
}

bool Serve();

// The machine's handles go with the machine: only the sockets are left to close.
RapiServer::~RapiServer() {
    for (auto &connection : connections) {
        close(connection->fd);
    }
    if (listener >= 0) {
        close(listener);
    }
    if (!portFile.empty()) {
        unlink(portFile.c_str());
    }
    std::erase(Servers(), this);
    if (Servers().empty()) {
        RemoveHostService(Serve);
    }
}

// ---- requests ----

// The predefined keys travel as their own values; other keys as the connection's numbers.
HKEY KeyOf(Connection &connection, uint32_t number) {
    if (number >= 0x80000000u) {
        return reinterpret_cast<HKEY>(static_cast<uintptr_t>(number));
    }
    const auto found = connection.opened.find(number);
    return found != connection.opened.end() && found->second.kind == OpenedThing::Kind::key
               ? found->second.key
               : nullptr;
}

HANDLE HandleOf(Connection &connection, uint32_t number, OpenedThing::Kind kind) {
    const auto found = connection.opened.find(number);
    return found != connection.opened.end() && found->second.kind == kind ? found->second.handle
                                                                          : nullptr;
}

uint32_t Keep(Connection &connection, const OpenedThing &thing) {
    const uint32_t number = connection.nextNumber++;
    connection.opened[number] = thing;
    return number;
}

HWND WindowOf(uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

uint32_t NumberOf(HWND window) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

// The device's addresses mean nothing on the desktop; they travel as 32-bit numbers.
uint32_t AddressOf(const void *address) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
}

MessageWriter &FindData(MessageWriter &reply, const WIN32_FIND_DATAW &found) {
    reply.U32(found.dwFileAttributes)
        .U32(found.ftLastWriteTime.dwLowDateTime)
        .U32(found.ftLastWriteTime.dwHighDateTime)
        .U32(found.nFileSizeHigh)
        .U32(found.nFileSizeLow)
        .Text(found.cFileName);
    return reply;
}

// A reply's head: the call's result and the device's last error after it.
MessageWriter Reply(uint32_t result) {
    MessageWriter reply;
    reply.U32(result).U32(GetLastError());
    return reply;
}

// Carries out one request; false for a request that is not well formed, which is not carried out.
bool Answer(Connection &connection, MessageReader &in, std::vector<uint8_t> &out) {
    uint16_t call = 0;
    if (!in.U16(call)) {
        return false;
    }
    uint32_t a = 0, b = 0, c = 0, d = 0;
    std::u16string text, more;
    std::vector<uint8_t> bytes;
    SetLastError(ERROR_SUCCESS);
    switch (static_cast<RapiCall>(call)) {
    case RapiCall::regOpenKey:
    case RapiCall::regCreateKey: {
        if (!in.U32(a) || !in.Text(text) || !in.Complete()) {
            return false;
        }
        HKEY parent = KeyOf(connection, a);
        HKEY key = nullptr;
        DWORD disposition = 0;
        const LONG result = parent == nullptr ? ERROR_INVALID_HANDLE
                            : static_cast<RapiCall>(call) == RapiCall::regOpenKey
                                ? RegOpenKeyExW(parent, text.c_str(), 0, 0, &key)
                                : RegCreateKeyExW(parent, text.c_str(), 0, nullptr, 0, 0, nullptr,
                                                  &key, &disposition);
        const uint32_t number =
            result == ERROR_SUCCESS ? Keep(connection, {OpenedThing::Kind::key, nullptr, key}) : 0;
        out = Reply(static_cast<uint32_t>(result)).U32(number).U32(disposition).Framed();
        return true;
    }
    case RapiCall::regQueryValue: {
        // b: 1 when the caller gives a buffer, c: its size.
        if (!in.U32(a) || !in.Text(text) || !in.U32(b) || !in.U32(c) || !in.Complete()) {
            return false;
        }
        HKEY key = KeyOf(connection, a);
        DWORD type = 0;
        DWORD size = 0;
        LONG result = key == nullptr
                          ? ERROR_INVALID_HANDLE
                          : RegQueryValueExW(key, text.c_str(), nullptr, &type, nullptr, &size);
        if (result == ERROR_SUCCESS && b != 0) {
            if (size > c) {
                result = ERROR_MORE_DATA;
            } else {
                bytes.resize(size);
                result = RegQueryValueExW(key, text.c_str(), nullptr, &type, bytes.data(), &size);
                bytes.resize(size);
            }
        }
        out = Reply(static_cast<uint32_t>(result))
                  .U32(type)
                  .U32(size)
                  .Bytes(bytes.data(), bytes.size())
                  .Framed();
        return true;
    }
    case RapiCall::regSetValue: {
        if (!in.U32(a) || !in.Text(text) || !in.U32(b) || !in.Bytes(bytes) || !in.Complete()) {
            return false;
        }
        HKEY key = KeyOf(connection, a);
        const LONG result = key == nullptr ? ERROR_INVALID_HANDLE
                                           : RegSetValueExW(key, text.c_str(), 0, b, bytes.data(),
                                                            static_cast<DWORD>(bytes.size()));
        out = Reply(static_cast<uint32_t>(result)).Framed();
        return true;
    }
    case RapiCall::regCloseKey: {
        if (!in.U32(a) || !in.Complete()) {
            return false;
        }
        HKEY key = KeyOf(connection, a);
        LONG result = ERROR_INVALID_HANDLE;
        if (a >= 0x80000000u) {
            result = RegCloseKey(key);
        } else if (key != nullptr) {
            result = RegCloseKey(key);
            connection.opened.erase(a);
        }
        out = Reply(static_cast<uint32_t>(result)).Framed();
        return true;
    }
    case RapiCall::getStoreInformation: {
        if (!in.Complete()) {
            return false;
        }
        STORE_INFORMATION store = {};
        const BOOL result = GetStoreInformation(&store);
        out = Reply(result).U32(store.dwStoreSize).U32(store.dwFreeSize).Framed();
        return true;
    }
    case RapiCall::getWindow: {
        if (!in.U32(a) || !in.U32(b) || !in.Complete()) {
            return false;
        }
        // No window and GW_CHILD: the first top-level window, the root's first child.
        HWND from = a == 0 && b == GW_CHILD ? GetDesktopWindow() : WindowOf(a);
        out = Reply(NumberOf(GetWindow(from, b))).Framed();
        return true;
    }
    case RapiCall::getClassName:
    case RapiCall::getWindowText: {
        if (!in.U32(a) || !in.U32(b) || !in.Complete() || b > maxRapiMessage / 4) {
            return false;
        }
        std::u16string name(b + 1, u'\0');
        const int count = b == 0 ? 0
                          : static_cast<RapiCall>(call) == RapiCall::getClassName
                              ? GetClassNameW(WindowOf(a), name.data(), static_cast<int>(b))
                              : GetWindowTextW(WindowOf(a), name.data(), static_cast<int>(b));
        name.resize(count > 0 ? static_cast<size_t>(count) : 0);
        out = Reply(static_cast<uint32_t>(count)).Text(name).Framed();
        return true;
    }
    case RapiCall::createFile: {
        if (!in.Text(text) || !in.U32(a) || !in.U32(b) || !in.U32(c) || !in.U32(d) ||
            !in.Complete()) {
            return false;
        }
        HANDLE file = CreateFileW(text.c_str(), a, b, nullptr, c, d, nullptr);
        const uint32_t number = file == INVALID_HANDLE_VALUE
                                    ? 0xFFFFFFFFu
                                    : Keep(connection, {OpenedThing::Kind::file, file, nullptr});
        out = Reply(number).Framed();
        return true;
    }
    case RapiCall::readFile: {
        if (!in.U32(a) || !in.U32(b) || !in.Complete() || b > maxRapiMessage - 16) {
            return false;
        }
        HANDLE file = HandleOf(connection, a, OpenedThing::Kind::file);
        bytes.resize(b);
        DWORD read = 0;
        BOOL result = FALSE;
        if (file == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
        } else {
            result = ReadFile(file, bytes.data(), b, &read, nullptr);
        }
        out = Reply(result).Bytes(bytes.data(), read).Framed();
        return true;
    }
    case RapiCall::writeFile: {
        if (!in.U32(a) || !in.Bytes(bytes) || !in.Complete()) {
            return false;
        }
        HANDLE file = HandleOf(connection, a, OpenedThing::Kind::file);
        DWORD written = 0;
        BOOL result = FALSE;
        if (file == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
        } else {
            result =
                WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        out = Reply(result).U32(written).Framed();
        return true;
    }
    case RapiCall::closeHandle:
    case RapiCall::findClose: {
        if (!in.U32(a) || !in.Complete()) {
            return false;
        }
        const bool search = static_cast<RapiCall>(call) == RapiCall::findClose;
        HANDLE handle =
            HandleOf(connection, a, search ? OpenedThing::Kind::search : OpenedThing::Kind::file);
        BOOL result = FALSE;
        if (handle == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
        } else {
            result = search ? FindClose(handle) : CloseHandle(handle);
            connection.opened.erase(a);
        }
        out = Reply(result).Framed();
        return true;
    }
    case RapiCall::deleteFile:
    case RapiCall::createDirectory: {
        if (!in.Text(text) || !in.Complete()) {
            return false;
        }
        const BOOL result = static_cast<RapiCall>(call) == RapiCall::deleteFile
                                ? DeleteFileW(text.c_str())
                                : CreateDirectoryW(text.c_str(), nullptr);
        out = Reply(result).Framed();
        return true;
    }
    case RapiCall::findFirstFile: {
        if (!in.Text(text) || !in.Complete()) {
            return false;
        }
        WIN32_FIND_DATAW found = {};
        HANDLE search = FindFirstFileW(text.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            out = Reply(0xFFFFFFFFu).Framed();
        } else {
            MessageWriter reply =
                Reply(Keep(connection, {OpenedThing::Kind::search, search, nullptr}));
            out = FindData(reply, found).Framed();
        }
        return true;
    }
    case RapiCall::findNextFile: {
        if (!in.U32(a) || !in.Complete()) {
            return false;
        }
        HANDLE search = HandleOf(connection, a, OpenedThing::Kind::search);
        WIN32_FIND_DATAW found = {};
        BOOL result = FALSE;
        if (search == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
        } else {
            result = FindNextFileW(search, &found);
        }
        MessageWriter reply = Reply(result);
        out = FindData(reply, found).Framed();
        return true;
    }
    case RapiCall::createProcess: {
        if (!in.Text(text) || !in.Text(more) || !in.Complete()) {
            return false;
        }
        PROCESS_INFORMATION started = {};
        const BOOL result = CreateProcessW(text.c_str(), more.data(), nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, nullptr, &started);
        if (result) {
            CloseHandle(started.hProcess);
            CloseHandle(started.hThread);
        }
        out = Reply(result).U32(started.dwProcessId).U32(started.dwThreadId).Framed();
        return true;
    }
    case RapiCall::getSystemInfo: {
        if (!in.Complete()) {
            return false;
        }
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        out = Reply(TRUE)
                  .U16(system.wProcessorArchitecture)
                  .U32(system.dwPageSize)
                  .U32(AddressOf(system.lpMinimumApplicationAddress))
                  .U32(AddressOf(system.lpMaximumApplicationAddress))
                  .U32(system.dwActiveProcessorMask)
                  .U32(system.dwNumberOfProcessors)
                  .U32(system.dwProcessorType)
                  .U32(system.dwAllocationGranularity)
                  .U16(system.wProcessorLevel)
                  .U16(system.wProcessorRevision)
                  .Framed();
        return true;
    }
    case RapiCall::getVersion: {
        // a: the size the caller gave its structure, which the device judges as its own call does.
        if (!in.U32(a) || !in.Complete()) {
            return false;
        }
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = a;
        const BOOL result = GetVersionExW(&version);
        const std::u16string_view servicePack(version.szCSDVersion,
                                              ARRAYSIZE(version.szCSDVersion));
        const size_t units = std::min(servicePack.find(u'\0'), servicePack.size());
        out = Reply(result)
                  .U32(version.dwMajorVersion)
                  .U32(version.dwMinorVersion)
                  .U32(version.dwBuildNumber)
                  .U32(version.dwPlatformId)
                  .Text(std::u16string(servicePack.substr(0, units)))
                  .Framed();
        return true;
    }
    case RapiCall::systemParametersInfo: {
        // a: the action, b: its parameter, c: the flags, d: 1 when the caller gives a buffer,
        // which is then b bytes long.
        if (!in.U32(a) || !in.U32(b) || !in.U32(c) || !in.U32(d) || !in.Complete() || d > 1 ||
            (d == 1 && b > maxSystemParameterBytes)) {
            return false;
        }
        if (d == 1) {
            bytes.assign(b, 0);
        }
        const BOOL result = SystemParametersInfoW(a, b, d == 1 ? bytes.data() : nullptr, c);
        if (!result) {
            bytes.clear();
        }
        out = Reply(result).Bytes(bytes.data(), bytes.size()).Framed();
        return true;
    }
    case RapiCall::describeWindows: {
        if (!in.Complete()) {
            return false;
        }
        const std::string list = DescribeWindows();
        out =
            Reply(TRUE).Bytes(reinterpret_cast<const uint8_t *>(list.data()), list.size()).Framed();
        return true;
    }
    }
    return false;
}

// ---- sockets ----

void Accept(RapiServer &server) {
    for (;;) {
        const int fd = accept4(server.listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        if (!server.plugged || server.connections.size() >= maxConnections) {
            close(fd); // nobody at the other end of an unplugged cable, or no room for another
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        server.connections.push_back(std::move(connection));
    }
}

// Hands the socket what it takes of the replies; false when the peer has gone.
bool Flush(Connection &connection) {
    while (!connection.outgoing.empty()) {
        const ssize_t sent = send(connection.fd, connection.outgoing.data(),
                                  connection.outgoing.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        connection.outgoing.erase(connection.outgoing.begin(), connection.outgoing.begin() + sent);
    }
    return true;
}

// Reads what has come and answers every whole request; false when the connection must go: its
// peer has gone, or it sent what is not a request.
bool Work(RapiServer &server, Connection &connection, bool &worked) {
    if (!Flush(connection)) {
        return false;
    }
    // A reply still waiting for the socket holds the next request back.
    while (connection.outgoing.empty()) {
        static uint8_t chunk[rapiReadChunk];
        const ssize_t got = recv(connection.fd, chunk, sizeof(chunk), 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            return false;
        }
        if (got < 0) {
            return true;
        }
        worked = true;
        connection.framer.Add(chunk, static_cast<size_t>(got));
        std::vector<uint8_t> body;
        MessageFramer::Result result;
        while ((result = connection.framer.Next(body)) == MessageFramer::Result::message) {
            MessageReader reader(body.data(), body.size());
            std::vector<uint8_t> reply;
            Machine *previous = SwitchToMachine(server.machine);
            const bool answered = Answer(connection, reader, reply);
            SwitchToMachine(previous);
            if (!answered || reply.empty()) {
                return false;
            }
            ++requestsServed;
            connection.outgoing.insert(connection.outgoing.end(), reply.begin(), reply.end());
        }
        if (result == MessageFramer::Result::bad || !Flush(connection)) {
            return false;
        }
    }
    return true;
}

bool Serve() {
    // A request may run the device's programs, and they the run's services: one at a time.
    static bool serving = false;
    if (serving) {
        return false;
    }
    serving = true;
    bool worked = false;
    for (RapiServer *server : std::vector<RapiServer *>(Servers())) {
        Accept(*server);
        auto &connections = server->connections;
        for (size_t i = 0; i < connections.size();) {
            if (Work(*server, *connections[i], worked)) {
                ++i;
                continue;
            }
            CloseConnection(*server, *connections[i]);
            connections.erase(connections.begin() + static_cast<long>(i));
            worked = true;
        }
    }
    serving = false;
    return worked;
}

} // namespace

bool StartRapiServer(std::string &error) {
    RapiServer &server = TheServer();
    if (server.listener >= 0) {
        return true;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
        listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        error = std::string("no socket for the cable: ") + strerror(errno);
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    server.machine = CurrentMachine();
    server.listener = fd;
    server.port = ntohs(address.sin_port);
    Servers().push_back(&server);
    AddHostService(Serve);
    const std::string folder = GetDeviceFolder();
    if (!folder.empty()) {
        server.portFile = folder + "/" + rapiPortFileName;
        std::ofstream(server.portFile) << server.port << "\n";
    }
    return true;
}

int RapiServerPort() {
    return TheServer().port;
}

void SetCablePlugged(bool plugged) {
    RapiServer &server = TheServer();
    server.plugged = plugged;
    if (!plugged) {
        DropConnections(server);
    }
}

bool CablePlugged() {
    return TheServer().plugged;
}

unsigned long RapiRequestsServed() {
    return requestsServed;
}
