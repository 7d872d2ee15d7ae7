// The Remote API's calls: each one a request over the cable and its reply. A connection that
// breaks is closed and the call fails with CERAPI_E_CONNECTION_LOST; CeRapiInit makes a new one.
#include "rapi/rapi_client.h"

#include "kernel/machine.h"
#include "kernel/scheduler.h"
#include "rapi/rapi_messages.h"
#include "rapi/rapi_server.h"

#include <rapi.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int configuredPort = 0;

struct RapiClient {
    ~RapiClient() {
        if (fd >= 0) {
            close(fd);
        }
    }
    int fd = -1;
    DWORD lastError = ERROR_SUCCESS;
    HRESULT rapiError = S_OK;
    MessageFramer framer;
};

// A connection for each program, as each process of a PC has its own: two programs waiting for
// replies on one connection could take each other's.
struct RapiClients : MachinePart {
    std::map<DWORD, RapiClient> byProgram;
};

RapiClient &Client() {
    return MachineState<RapiClients>().byProgram[GetCurrentThreadId()];
}

// The device of this run, when the port was not given.
int DevicePort() {
    if (configuredPort != 0) {
        return configuredPort;
    }
    for (Machine *machine : BootedMachines()) {
        if (KindOf(machine) == MachineKind::Device) {
            Machine *previous = SwitchToMachine(machine);
            const int port = RapiServerPort();
            SwitchToMachine(previous);
            if (port != 0) {
                return port;
            }
        }
    }
    return 0;
}

void Disconnect(RapiClient &client, HRESULT error) {
    if (client.fd >= 0) {
        close(client.fd);
    }
    client.fd = -1;
    client.framer = MessageFramer();
    client.rapiError = error;
}

// Lets a peer in this run go on while the socket cannot take more.
void WaitUntilWritable(int fd) {
    if (CurrentProgram() != nullptr) {
        Sleep(0);
        return;
    }
    RunUntilIdle();
    pollfd watch = {fd, POLLOUT, 0};
    poll(&watch, 1, 1);
}

bool SendAll(int fd, const std::vector<uint8_t> &bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put =
            send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (put > 0) {
            sent += static_cast<size_t>(put);
        } else if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            WaitUntilWritable(fd);
        } else {
            return false;
        }
    }
    return true;
}

bool ReceiveReply(RapiClient &client, std::vector<uint8_t> &body) {
    for (;;) {
        switch (client.framer.Next(body)) {
        case MessageFramer::Result::message:
            return true;
        case MessageFramer::Result::bad:
            return false;
        case MessageFramer::Result::needMore:
            break;
        }
        WaitUntilReadable(client.fd);
        static uint8_t chunk[rapiReadChunk];
        const ssize_t got = recv(client.fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            return false;
        }
        if (got > 0) {
            client.framer.Add(chunk, static_cast<size_t>(got));
        }
    }
}

// A reply's result and the reader for its data; false when the cable failed the call.
struct Answer {
    uint32_t result = 0;
    std::vector<uint8_t> body;
    MessageReader reader{nullptr, 0};
};

bool Call(const MessageWriter &request, Answer &answer) {
    RapiClient &client = Client();
    const std::vector<uint8_t> framed = request.Framed();
    if (client.fd < 0) {
        client.rapiError = CERAPI_E_CONNECTION_LOST;
        return false;
    }
    uint32_t lastError = 0;
    if (framed.empty() || !SendAll(client.fd, framed) || !ReceiveReply(client, answer.body)) {
        Disconnect(client, CERAPI_E_CONNECTION_LOST);
        return false;
    }
    answer.reader = MessageReader(answer.body.data(), answer.body.size());
    if (!answer.reader.U32(answer.result) || !answer.reader.U32(lastError)) {
        Disconnect(client, CERAPI_E_CONNECTION_LOST);
        return false;
    }
    client.rapiError = S_OK;
    client.lastError = lastError;
    return true;
}

MessageWriter Request(RapiCall call) {
    MessageWriter request;
    request.U16(static_cast<uint16_t>(call));
    return request;
}

uint32_t NumberOf(const void *handle) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

template <typename Handle> Handle HandleOf(uint32_t number) {
    return reinterpret_cast<Handle>(static_cast<uintptr_t>(number));
}

// The device's file handles are numbered from 1; the desktop sees them as they are.
HANDLE FileHandleOf(uint32_t number) {
    return number == 0xFFFFFFFFu ? INVALID_HANDLE_VALUE : HandleOf<HANDLE>(number);
}

std::u16string Text(LPCWSTR text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

void ReadFindData(MessageReader &reader, LPCE_FIND_DATA found) {
    uint32_t attributes = 0, low = 0, high = 0, sizeHigh = 0, sizeLow = 0;
    std::u16string name;
    if (!reader.U32(attributes) || !reader.U32(low) || !reader.U32(high) || !reader.U32(sizeHigh) ||
        !reader.U32(sizeLow) || !reader.Text(name) || found == nullptr) {
        return;
    }
    std::memset(found, 0, sizeof(*found));
    found->dwFileAttributes = attributes;
    found->ftLastWriteTime = FILETIME{low, high};
    found->nFileSizeHigh = sizeHigh;
    found->nFileSizeLow = sizeLow;
    const size_t units = std::min<size_t>(name.size(), MAX_PATH - 1);
    std::memcpy(found->cFileName, name.data(), units * sizeof(char16_t));
}

// The most a read or write carries in one request, well inside the bound of a message.
const DWORD transferChunk = maxRapiMessage - 64;

} // namespace

void SetRapiPort(int port) {
    configuredPort = port;
}

int RapiPortOfDeviceFolder(const std::string &folder) {
    std::ifstream file(folder + "/" + rapiPortFileName);
    int port = 0;
    return file >> port && port > 0 && port < 65536 ? port : 0;
}

bool DescribeDeviceWindows(std::string &list) {
    Answer answer;
    std::vector<uint8_t> bytes;
    if (!Call(Request(RapiCall::describeWindows), answer) || !answer.reader.Bytes(bytes)) {
        return false;
    }
    list.assign(bytes.begin(), bytes.end());
    return true;
}

extern "C" HRESULT WINAPI CeRapiInit(void) {
    RapiClient &client = Client();
    if (client.fd >= 0) {
        return S_OK;
    }
    const int port = DevicePort();
    const int fd = port == 0 ? -1 : socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        client.rapiError = E_FAIL;
        return E_FAIL;
    }
    client.fd = fd;
    // The device answers a plugged cable: one question shows it is there.
    STORE_INFORMATION store;
    if (!CeGetStoreInformation(&store) && client.fd < 0) {
        client.rapiError = E_FAIL;
        return E_FAIL;
    }
    return S_OK;
}

extern "C" HRESULT WINAPI CeRapiUninit(void) {
    RapiClient &client = Client();
    if (client.fd < 0) {
        return E_FAIL;
    }
    Disconnect(client, S_OK);
    return S_OK;
}

extern "C" DWORD WINAPI CeGetLastError(void) {
    return Client().lastError;
}

extern "C" HRESULT WINAPI CeRapiGetError(void) {
    return Client().rapiError;
}

extern "C" LONG WINAPI CeRegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    Answer answer;
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    uint32_t number = 0;
    if (!Call(Request(RapiCall::regOpenKey).U32(NumberOf(key)).Text(Text(subKey)), answer) ||
        !answer.reader.U32(number)) {
        return ERROR_GEN_FAILURE;
    }
    *result = answer.result == ERROR_SUCCESS ? HandleOf<HKEY>(number) : nullptr;
    return static_cast<LONG>(answer.result);
}

extern "C" LONG WINAPI CeRegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM,
                                        LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    Answer answer;
    if (result == nullptr || subKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    uint32_t number = 0, made = 0;
    if (!Call(Request(RapiCall::regCreateKey).U32(NumberOf(key)).Text(Text(subKey)), answer) ||
        !answer.reader.U32(number) || !answer.reader.U32(made)) {
        return ERROR_GEN_FAILURE;
    }
    if (answer.result == ERROR_SUCCESS) {
        *result = HandleOf<HKEY>(number);
        if (disposition != nullptr) {
            *disposition = made;
        }
    }
    return static_cast<LONG>(answer.result);
}

extern "C" LONG WINAPI CeRegQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                         LPBYTE data, LPDWORD size) {
    if (reserved != nullptr || (data != nullptr && size == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    Answer answer;
    const uint32_t room = size != nullptr ? *size : 0;
    uint32_t valueType = 0, valueSize = 0;
    std::vector<uint8_t> bytes;
    if (!Call(Request(RapiCall::regQueryValue)
                  .U32(NumberOf(key))
                  .Text(Text(name))
                  .U32(data != nullptr ? 1 : 0)
                  .U32(room),
              answer) ||
        !answer.reader.U32(valueType) || !answer.reader.U32(valueSize) ||
        !answer.reader.Bytes(bytes)) {
        return ERROR_GEN_FAILURE;
    }
    const LONG result = static_cast<LONG>(answer.result);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (type != nullptr) {
            *type = valueType;
        }
        if (size != nullptr) {
            *size = valueSize;
        }
        if (result == ERROR_SUCCESS && data != nullptr && !bytes.empty() && bytes.size() <= room) {
            std::memcpy(data, bytes.data(), bytes.size());
        }
    }
    return result;
}

extern "C" LONG WINAPI CeRegSetValueEx(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data,
                                       DWORD size) {
    if (data == nullptr && size > 0) {
        return ERROR_INVALID_PARAMETER;
    }
    Answer answer;
    if (!Call(Request(RapiCall::regSetValue)
                  .U32(NumberOf(key))
                  .Text(Text(name))
                  .U32(type)
                  .Bytes(data, size),
              answer)) {
        return ERROR_GEN_FAILURE;
    }
    return static_cast<LONG>(answer.result);
}

extern "C" LONG WINAPI CeRegCloseKey(HKEY key) {
    Answer answer;
    if (!Call(Request(RapiCall::regCloseKey).U32(NumberOf(key)), answer)) {
        return ERROR_GEN_FAILURE;
    }
    return static_cast<LONG>(answer.result);
}

extern "C" BOOL WINAPI CeGetStoreInformation(LPSTORE_INFORMATION information) {
    Answer answer;
    uint32_t size = 0, free = 0;
    if (information == nullptr || !Call(Request(RapiCall::getStoreInformation), answer) ||
        !answer.reader.U32(size) || !answer.reader.U32(free)) {
        return FALSE;
    }
    information->dwStoreSize = size;
    information->dwFreeSize = free;
    return answer.result != 0;
}

extern "C" BOOL WINAPI CeGetSystemInfo(LPSYSTEM_INFO information) {
    Answer answer;
    uint16_t architecture = 0, level = 0, revision = 0;
    uint32_t pageSize = 0, lowest = 0, highest = 0, mask = 0, processors = 0, type = 0,
             granularity = 0;
    if (information == nullptr || !Call(Request(RapiCall::getSystemInfo), answer) ||
        !answer.reader.U16(architecture) || !answer.reader.U32(pageSize) ||
        !answer.reader.U32(lowest) || !answer.reader.U32(highest) || !answer.reader.U32(mask) ||
        !answer.reader.U32(processors) || !answer.reader.U32(type) ||
        !answer.reader.U32(granularity) || !answer.reader.U16(level) ||
        !answer.reader.U16(revision) || answer.result == 0) {
        return FALSE;
    }
    std::memset(information, 0, sizeof(*information));
    information->wProcessorArchitecture = architecture;
    information->dwPageSize = pageSize;
    information->lpMinimumApplicationAddress = HandleOf<LPVOID>(lowest);
    information->lpMaximumApplicationAddress = HandleOf<LPVOID>(highest);
    information->dwActiveProcessorMask = mask;
    information->dwNumberOfProcessors = processors;
    information->dwProcessorType = type;
    information->dwAllocationGranularity = granularity;
    information->wProcessorLevel = level;
    information->wProcessorRevision = revision;
    return TRUE;
}

extern "C" BOOL WINAPI CeGetVersionEx(LPCEOSVERSIONINFO information) {
    if (information == nullptr) {
        return FALSE;
    }
    Answer answer;
    uint32_t major = 0, minor = 0, build = 0, platform = 0;
    std::u16string servicePack;
    if (!Call(Request(RapiCall::getVersion).U32(information->dwOSVersionInfoSize), answer) ||
        !answer.reader.U32(major) || !answer.reader.U32(minor) || !answer.reader.U32(build) ||
        !answer.reader.U32(platform) || !answer.reader.Text(servicePack) || answer.result == 0) {
        return FALSE;
    }
    information->dwMajorVersion = major;
    information->dwMinorVersion = minor;
    information->dwBuildNumber = build;
    information->dwPlatformId = platform;
    const size_t room = sizeof(information->szCSDVersion) / sizeof(WCHAR);
    const size_t units = std::min(servicePack.size(), room - 1);
    std::memcpy(information->szCSDVersion, servicePack.data(), units * sizeof(WCHAR));
    information->szCSDVersion[units] = 0;
    return TRUE;
}

extern "C" BOOL WINAPI CeSystemParametersInfo(UINT action, UINT param, PVOID buffer, UINT winIni) {
    // The device fills at most a few kilobytes; a larger buffer is offered as that much.
    const uint32_t room =
        buffer != nullptr ? std::min<uint32_t>(param, maxSystemParameterBytes) : param;
    Answer answer;
    std::vector<uint8_t> bytes;
    if (!Call(Request(RapiCall::systemParametersInfo)
                  .U32(action)
                  .U32(room)
                  .U32(winIni)
                  .U32(buffer != nullptr ? 1 : 0),
              answer) ||
        !answer.reader.Bytes(bytes) || answer.result == 0 ||
        bytes.size() > (buffer != nullptr ? room : 0)) {
        return FALSE;
    }
    if (!bytes.empty()) {
        std::memcpy(buffer, bytes.data(), bytes.size());
    }
    return TRUE;
}

extern "C" HWND WINAPI CeGetWindow(HWND window, UINT command) {
    Answer answer;
    if (!Call(Request(RapiCall::getWindow).U32(NumberOf(window)).U32(command), answer)) {
        return nullptr;
    }
    return HandleOf<HWND>(answer.result);
}

namespace {

INT WindowString(RapiCall call, HWND window, LPWSTR text, INT size) {
    Answer answer;
    std::u16string got;
    if (text == nullptr || size <= 0 ||
        !Call(Request(call).U32(NumberOf(window)).U32(static_cast<uint32_t>(size)), answer) ||
        !answer.reader.Text(got)) {
        return 0;
    }
    const size_t units = std::min<size_t>(got.size(), static_cast<size_t>(size) - 1);
    std::memcpy(text, got.data(), units * sizeof(char16_t));
    text[units] = 0;
    return static_cast<INT>(units);
}

} // namespace

extern "C" INT WINAPI CeGetClassName(HWND window, LPWSTR name, INT size) {
    return WindowString(RapiCall::getClassName, window, name, size);
}

extern "C" INT WINAPI CeGetWindowText(HWND window, LPWSTR text, INT size) {
    return WindowString(RapiCall::getWindowText, window, text, size);
}

extern "C" HANDLE WINAPI CeCreateFile(LPCWSTR name, DWORD access, DWORD share,
                                      LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD attributes,
                                      HANDLE) {
    Answer answer;
    if (!Call(Request(RapiCall::createFile)
                  .Text(Text(name))
                  .U32(access)
                  .U32(share)
                  .U32(disposition)
                  .U32(attributes),
              answer)) {
        return INVALID_HANDLE_VALUE;
    }
    return FileHandleOf(answer.result);
}

extern "C" BOOL WINAPI CeReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read, LPVOID) {
    if (read != nullptr) {
        *read = 0;
    }
    if (buffer == nullptr && bytes > 0) {
        return FALSE;
    }
    DWORD done = 0;
    // A large read goes in pieces; a short piece is the end of the file.
    do {
        const DWORD piece = std::min(bytes - done, transferChunk);
        Answer answer;
        std::vector<uint8_t> got;
        if (!Call(Request(RapiCall::readFile).U32(NumberOf(file)).U32(piece), answer) ||
            !answer.reader.Bytes(got) || got.size() > piece) {
            return FALSE;
        }
        if (answer.result == 0) {
            return FALSE;
        }
        if (!got.empty()) {
            std::memcpy(static_cast<uint8_t *>(buffer) + done, got.data(), got.size());
        }
        done += static_cast<DWORD>(got.size());
        if (read != nullptr) {
            *read = done;
        }
        if (got.size() < piece) {
            break;
        }
    } while (done < bytes);
    return TRUE;
}

extern "C" BOOL WINAPI CeWriteFile(HANDLE file, LPCVOID buffer, DWORD bytes, LPDWORD written,
                                   LPVOID) {
    if (written != nullptr) {
        *written = 0;
    }
    if (buffer == nullptr && bytes > 0) {
        return FALSE;
    }
    DWORD done = 0;
    do {
        const DWORD piece = std::min(bytes - done, transferChunk);
        Answer answer;
        uint32_t put = 0;
        if (!Call(Request(RapiCall::writeFile)
                      .U32(NumberOf(file))
                      .Bytes(static_cast<const uint8_t *>(buffer) + done, piece),
                  answer) ||
            !answer.reader.U32(put) || answer.result == 0) {
            return FALSE;
        }
        done += put;
        if (written != nullptr) {
            *written = done;
        }
        if (put < piece) {
            break; // the device took less: the caller sees how much
        }
    } while (done < bytes);
    return TRUE;
}

extern "C" BOOL WINAPI CeCloseHandle(HANDLE object) {
    Answer answer;
    return Call(Request(RapiCall::closeHandle).U32(NumberOf(object)), answer) && answer.result;
}

extern "C" BOOL WINAPI CeDeleteFile(LPCWSTR name) {
    Answer answer;
    return Call(Request(RapiCall::deleteFile).Text(Text(name)), answer) && answer.result;
}

extern "C" BOOL WINAPI CeCreateDirectory(LPCWSTR name, LPSECURITY_ATTRIBUTES) {
    Answer answer;
    return Call(Request(RapiCall::createDirectory).Text(Text(name)), answer) && answer.result;
}

extern "C" HANDLE WINAPI CeFindFirstFile(LPCWSTR pattern, LPCE_FIND_DATA found) {
    Answer answer;
    if (!Call(Request(RapiCall::findFirstFile).Text(Text(pattern)), answer)) {
        return INVALID_HANDLE_VALUE;
    }
    if (answer.result != 0xFFFFFFFFu) {
        ReadFindData(answer.reader, found);
    }
    return FileHandleOf(answer.result);
}

extern "C" BOOL WINAPI CeFindNextFile(HANDLE search, LPCE_FIND_DATA found) {
    Answer answer;
    if (!Call(Request(RapiCall::findNextFile).U32(NumberOf(search)), answer) ||
        answer.result == 0) {
        return FALSE;
    }
    ReadFindData(answer.reader, found);
    return TRUE;
}

extern "C" BOOL WINAPI CeFindClose(HANDLE search) {
    Answer answer;
    return Call(Request(RapiCall::findClose).U32(NumberOf(search)), answer) && answer.result;
}

extern "C" BOOL WINAPI CeCreateProcess(LPCWSTR path, LPCWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                       LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPWSTR,
                                       LPSTARTUPINFOW, LPPROCESS_INFORMATION information) {
    Answer answer;
    uint32_t process = 0, thread = 0;
    if (!Call(Request(RapiCall::createProcess).Text(Text(path)).Text(Text(commandLine)), answer) ||
        !answer.reader.U32(process) || !answer.reader.U32(thread) || answer.result == 0) {
        return FALSE;
    }
    if (information != nullptr) {
        // The device's programs are not waited on from the desktop: no handles come back.
        information->hProcess = nullptr;
        information->hThread = nullptr;
        information->dwProcessId = process;
        information->dwThreadId = thread;
    }
    return TRUE;
}
