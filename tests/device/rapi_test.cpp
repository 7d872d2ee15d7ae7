// The desktop's Remote API against a device in the same run, over a real loopback connection:
// each call answers as the device's own would, the cable can be pulled, and what arrives over the
// connection is never trusted.
#include "two_machines.h"

#include "device/automation.h"
#include "kernel/code_pages.h"
#include "rapi/rapi_client.h"
#include "rapi/rapi_messages.h"
#include "rapi/rapi_server.h"

#include <rapi.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

namespace {

class Rapi : public TwoMachines {
  protected:
    void SetUp() override {
        deviceOptions.serveRapi = true;
        ASSERT_NO_FATAL_FAILURE(TwoMachines::SetUp());
        SetRapiPort(0);
        OnMachine on(desktop);
        ASSERT_EQ(CeRapiInit(), S_OK);
    }
    void TearDown() override {
        {
            OnMachine on(desktop);
            CeRapiUninit();
        }
        TwoMachines::TearDown();
    }
};

std::vector<BYTE> Bytes(const std::string &text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

TEST_F(Rapi, RegistryValuesOfEveryTypeRoundTripAndMissingOnesAreNotFound) {
    OnMachine on(desktop);
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(CeRegCreateKeyEx(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, nullptr, 0,
                               0, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const std::u16string folder = u"\\Program Files\\Pennakey";
    const DWORD number = 0x12345678;
    const std::vector<BYTE> blob = {0, 1, 2, 0xFF};
    const std::u16string multi(u"a\0b\0\0", 5);
    struct Value {
        const char16_t *name;
        DWORD type;
        std::vector<BYTE> data;
    };
    const Value values[] = {
        {u"InstDir", REG_SZ,
         std::vector<BYTE>(reinterpret_cast<const BYTE *>(folder.c_str()),
                           reinterpret_cast<const BYTE *>(folder.c_str() + folder.size() + 1))},
        {u"Number", REG_DWORD,
         std::vector<BYTE>(reinterpret_cast<const BYTE *>(&number),
                           reinterpret_cast<const BYTE *>(&number) + 4)},
        {u"Blob", REG_BINARY, blob},
        {u"List", REG_MULTI_SZ,
         std::vector<BYTE>(reinterpret_cast<const BYTE *>(multi.data()),
                           reinterpret_cast<const BYTE *>(multi.data() + multi.size()))},
        {u"", REG_SZ, Bytes(std::string("d\0\0\0", 4))}};
    for (const Value &value : values) {
        ASSERT_EQ(CeRegSetValueEx(key, value.name, 0, value.type, value.data.data(),
                                  static_cast<DWORD>(value.data.size())),
                  ERROR_SUCCESS);
    }
    for (const Value &value : values) {
        DWORD type = 0, size = 0;
        EXPECT_EQ(CeRegQueryValueEx(key, value.name, nullptr, &type, nullptr, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(size, value.data.size());
        std::vector<BYTE> data(size);
        DWORD small = size - 1;
        EXPECT_EQ(CeRegQueryValueEx(key, value.name, nullptr, &type, data.data(), &small),
                  ERROR_MORE_DATA)
            << "one byte short";
        EXPECT_EQ(small, size);
        EXPECT_EQ(CeRegQueryValueEx(key, value.name, nullptr, &type, data.data(), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, value.type);
        EXPECT_EQ(data, value.data);
    }
    DWORD size = 0;
    EXPECT_EQ(CeRegQueryValueEx(key, u"Missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CeRegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(CeRegCloseKey(key), ERROR_INVALID_HANDLE) << "closed once";
    HKEY missing = nullptr;
    EXPECT_EQ(CeRegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Software\\Nothing", 0, 0, &missing),
              ERROR_FILE_NOT_FOUND);

    // The device's own registry has the value.
    OnMachine onDevice(device);
    HKEY deviceKey = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, 0, &deviceKey),
              ERROR_SUCCESS);
    WCHAR text[64] = {};
    DWORD bytes = sizeof(text);
    EXPECT_EQ(RegQueryValueExW(deviceKey, u"InstDir", nullptr, nullptr,
                               reinterpret_cast<BYTE *>(text), &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), folder);
    RegCloseKey(deviceKey);
}

// Written in 4096-byte pieces with an empty write at the end, read back whole; the store falls by
// what was written.
TEST_F(Rapi, AFileWrittenInPiecesReadsBackAndTakesItsRoomInTheStore) {
    OnMachine on(desktop);
    STORE_INFORMATION before = {};
    ASSERT_TRUE(CeGetStoreInformation(&before));
    std::string content;
    for (int i = 0; i < 3 * 4096; ++i) { // whole pieces, so that the last write is empty
        content += static_cast<char>(i * 7 + i / 13);
    }
    HANDLE file = CeCreateFile(u"\\My Documents\\German.kbi", GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (size_t at = 0; at <= content.size(); at += 4096) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(4096, content.size() - at));
        DWORD written = 0;
        ASSERT_TRUE(CeWriteFile(file, content.data() + at, piece, &written, nullptr));
        EXPECT_EQ(written, piece);
    }
    EXPECT_TRUE(CeCloseHandle(file));
    EXPECT_FALSE(CeCloseHandle(file));
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    STORE_INFORMATION after = {};
    ASSERT_TRUE(CeGetStoreInformation(&after));
    EXPECT_EQ(before.dwFreeSize - after.dwFreeSize, content.size());
    EXPECT_EQ(HostFileText(deviceFolder + "/My Documents/German.kbi"), content);

    file = CeCreateFile(u"\\My Documents\\German.kbi", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string back(content.size() + 10, '\0');
    DWORD read = 0;
    EXPECT_TRUE(CeReadFile(file, back.data(), static_cast<DWORD>(back.size()), &read, nullptr));
    EXPECT_EQ(read, content.size());
    back.resize(read);
    EXPECT_EQ(back, content);
    CeCloseHandle(file);

    EXPECT_TRUE(CeDeleteFile(u"\\My Documents\\German.kbi"));
    EXPECT_FALSE(CeDeleteFile(u"\\My Documents\\German.kbi"));
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Rapi, FoldersAndSearchesListWhatIsThere) {
    OnMachine on(desktop);
    EXPECT_TRUE(CeCreateDirectory(u"\\Program Files\\Pennakey", nullptr));
    EXPECT_FALSE(CeCreateDirectory(u"\\Program Files\\Pennakey", nullptr));
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    for (const char *name : {"English.kbi", "German.kbi"}) {
        std::ofstream(deviceFolder + "/Program Files/Pennakey/" + name) << name;
    }
    CE_FIND_DATA found;
    HANDLE search = CeFindFirstFile(u"\\Program Files\\Pennakey\\*.kbi", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> names = {AnsiFromWide(found.cFileName)};
    EXPECT_EQ(found.nFileSizeLow, names[0].size());
    while (CeFindNextFile(search, &found)) {
        names.push_back(AnsiFromWide(found.cFileName));
    }
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(CeFindClose(search));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"English.kbi", "German.kbi"}));
    EXPECT_EQ(CeFindFirstFile(u"\\Program Files\\Pennakey\\*.txt", &found), INVALID_HANDLE_VALUE);
}

// Paths are the device's: nothing outside its folder is reached, through ".." or a link.
TEST_F(Rapi, PathsNeverLeaveTheDeviceFolder) {
    std::ofstream(base + "/secret.txt") << "host";
    std::filesystem::create_directory_symlink(base, deviceFolder + "/My Documents/outside");
    OnMachine on(desktop);
    for (const char16_t *path :
         {u"\\..\\secret.txt", u"\\My Documents\\outside\\secret.txt", u"..\\..\\secret.txt"}) {
        HANDLE file = CeCreateFile(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(file, INVALID_HANDLE_VALUE) << AnsiFromWide(path);
    }
    EXPECT_FALSE(CeDeleteFile(u"\\..\\secret.txt"));
    EXPECT_EQ(HostFileText(base + "/secret.txt"), "host");
}

// The window walk gives what the script command lists, in the same order.
TEST_F(Rapi, TheWindowWalkMatchesTheDevicesOwnList) {
    StartOn(device, u"\\Windows\\notes.exe", u"");
    std::string listed;
    {
        OnMachine on(device);
        std::istringstream lines(DescribeWindows());
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line[0] != ' ') {
                listed += line.substr(0, line.find(' ', line.find(' ') + 1)) + "\n";
            }
        }
    }
    OnMachine on(desktop);
    std::string walked;
    HWND window = CeGetWindow(nullptr, GW_CHILD);
    HWND first = CeGetWindow(window, GW_HWNDFIRST);
    EXPECT_EQ(first, window);
    for (; window != nullptr; window = CeGetWindow(window, GW_HWNDNEXT)) {
        WCHAR name[64];
        ASSERT_GT(CeGetClassName(window, name, 64), 0);
        char number[16];
        snprintf(number, sizeof(number), "0x%08X",
                 static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)));
        walked += std::string(number) + " " + AnsiFromWide(name) + "\n";
    }
    EXPECT_EQ(walked, listed);

    // The input panel is top-most, so the first of all.
    HWND panel = CeGetWindow(nullptr, GW_CHILD);
    WCHAR text[12];
    EXPECT_EQ(CeGetWindowText(panel, text, 12), 11);
    EXPECT_EQ(std::u16string(text), u"Input Panel");
    EXPECT_EQ(CeGetWindowText(panel, text, 6), 5) << "cut to the buffer";
    EXPECT_EQ(std::u16string(text), u"Input");
    WCHAR name[4];
    EXPECT_EQ(CeGetClassName(panel, name, 4), 3);
    EXPECT_EQ(std::u16string(name), u"Sip");
    EXPECT_EQ(CeGetWindow(nullptr, GW_HWNDNEXT), nullptr);
}

TEST_F(Rapi, CreateProcessStartsNotesOnTheDevice) {
    {
        OnMachine on(desktop);
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CeCreateProcess(u"\\Windows\\notes.exe", u"", nullptr, nullptr, FALSE, 0,
                                    nullptr, nullptr, nullptr, &information));
        EXPECT_NE(information.dwProcessId, 0u);
        EXPECT_FALSE(CeCreateProcess(u"\\Windows\\none.exe", u"", nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, nullptr, &information));
        EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    RunUntilIdle();
    OnMachine on(device);
    EXPECT_NE(DescribeWindows().find("\"Notes\""), std::string::npos);
}

// The device's processor, version and platform, as its own GetSystemInfo, GetVersionEx and
// SystemParametersInfo give them.
TEST_F(Rapi, TheDeviceTellsItsProcessorVersionAndPlatform) {
    OnMachine on(desktop);
    SYSTEM_INFO system;
    std::memset(&system, 0xCC, sizeof(system));
    ASSERT_TRUE(CeGetSystemInfo(&system));
    EXPECT_EQ(system.dwProcessorType, static_cast<DWORD>(PROCESSOR_STRONGARM));
    EXPECT_EQ(system.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_ARM);
    EXPECT_EQ(system.dwPageSize, 4096u);
    EXPECT_EQ(system.dwNumberOfProcessors, 1u);
    EXPECT_EQ(system.wReserved, 0) << "what does not travel is cleared";
    EXPECT_FALSE(CeGetSystemInfo(nullptr));

    CEOSVERSIONINFO version;
    std::memset(&version, 0xCC, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(CeGetVersionEx(&version));
    EXPECT_EQ(version.dwMajorVersion, 3u);
    EXPECT_EQ(version.dwMinorVersion, 0u);
    EXPECT_EQ(version.dwBuildNumber, 11171u);
    EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_CE));
    EXPECT_EQ(version.szCSDVersion[0], 0);
    // The size must be set, as the device's own call wants it: one byte short is refused.
    CEOSVERSIONINFO unset = {};
    unset.dwOSVersionInfoSize = sizeof(unset) - 1;
    EXPECT_FALSE(CeGetVersionEx(&unset));
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(unset.dwMajorVersion, 0u) << "left as it was";

    // "PocketPC" and its NUL are 18 bytes: a buffer of 18 takes it, one of 17 does not.
    WCHAR name[16];
    std::fill(std::begin(name), std::end(name), u'#');
    ASSERT_TRUE(CeSystemParametersInfo(SPI_GETPLATFORMTYPE, 18, name, 0));
    EXPECT_EQ(std::u16string(name), u"PocketPC");
    std::fill(std::begin(name), std::end(name), u'#');
    EXPECT_FALSE(CeSystemParametersInfo(SPI_GETPLATFORMTYPE, 17, name, 0));
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(name[0], u'#') << "nothing written";
    EXPECT_FALSE(CeSystemParametersInfo(SPI_GETPLATFORMTYPE, sizeof(name), nullptr, 0));
    EXPECT_FALSE(CeSystemParametersInfo(0x1234, sizeof(name), name, 0));
    EXPECT_EQ(CeGetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // A buffer above what a reply carries is offered as that much, which is plenty.
    std::vector<WCHAR> large(maxSystemParameterBytes / 2 + 1, u'#');
    ASSERT_TRUE(CeSystemParametersInfo(
        SPI_GETPLATFORMTYPE, static_cast<UINT>(large.size() * sizeof(WCHAR)), large.data(), 0));
    EXPECT_EQ(std::u16string(large.data()), u"PocketPC");
    EXPECT_EQ(large.back(), u'#') << "the part past what was offered is not written";

    // Without the cable, each call fails with the connection's error.
    {
        OnMachine onDevice(device);
        SetCablePlugged(false);
    }
    EXPECT_FALSE(CeGetSystemInfo(&system));
    EXPECT_EQ(CeRapiGetError(), CERAPI_E_CONNECTION_LOST);
    EXPECT_FALSE(CeGetVersionEx(&version));
    EXPECT_FALSE(CeSystemParametersInfo(SPI_GETPLATFORMTYPE, sizeof(name), name, 0));
}

class RapiOnHandheld : public Rapi {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetScreenByName(deviceOptions, "hpc"));
        ASSERT_NO_FATAL_FAILURE(Rapi::SetUp());
    }
};

TEST_F(RapiOnHandheld, AHandheldPcNamesItsPlatform) {
    OnMachine on(desktop);
    WCHAR name[8] = {};
    ASSERT_TRUE(CeSystemParametersInfo(SPI_GETPLATFORMTYPE, sizeof(name), name, 0));
    EXPECT_EQ(std::u16string(name), u"HPC");
    SYSTEM_INFO system = {};
    ASSERT_TRUE(CeGetSystemInfo(&system));
    EXPECT_EQ(system.dwProcessorType, static_cast<DWORD>(PROCESSOR_STRONGARM));
}

// Unplugged: the connection goes, a new one is refused; plugged again, all works.
TEST_F(Rapi, AnUnpluggedCableFailsCallsUntilItIsPluggedAgain) {
    {
        OnMachine on(device);
        SetCablePlugged(false);
    }
    OnMachine on(desktop);
    STORE_INFORMATION store;
    EXPECT_FALSE(CeGetStoreInformation(&store));
    EXPECT_EQ(CeRapiGetError(), CERAPI_E_CONNECTION_LOST);
    EXPECT_EQ(CeRapiInit(), E_FAIL);
    {
        OnMachine onDevice(device);
        SetCablePlugged(true);
    }
    EXPECT_EQ(CeRapiInit(), S_OK);
    EXPECT_TRUE(CeGetStoreInformation(&store));
    EXPECT_EQ(CeRapiGetError(), S_OK);
}

// Desktop programs may load the API by name, as they load the Windows library of that name.
TEST_F(Rapi, TheLibraryLoadsByName) {
    OnMachine on(desktop);
    for (const char *name : {"rapi", "RAPI.DLL", "Rapi.dll"}) {
        HMODULE library = LoadLibraryA(name);
        ASSERT_NE(library, nullptr) << name;
        auto init = reinterpret_cast<HRESULT(WINAPI *)()>(
            reinterpret_cast<void *>(GetProcAddressA(library, "CeRapiInit")));
        EXPECT_EQ(init, &CeRapiInit) << name;
        EXPECT_EQ(init(), S_OK);
        EXPECT_TRUE(FreeLibrary(library));
    }
    EXPECT_EQ(LoadLibraryA("rapi2"), nullptr);
}

// A PC program copying a file in pieces, as Setup copies layouts; the test pulls the cable after a
// number of requests, in the middle of the copy.
struct CopyResult {
    HRESULT init = E_FAIL;
    int piecesWritten = 0;
    HRESULT errorAfter = S_OK;
    bool done = false;
} copyResult;
unsigned long unplugAfter = 0;

int WINAPI CopyingProgram(HINSTANCE, HINSTANCE, LPSTR, int) {
    copyResult = CopyResult();
    copyResult.init = CeRapiInit();
    HANDLE file = CeCreateFile(u"\\My Documents\\copy.bin", GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string piece(4096, 'p');
    for (int i = 0; i < 64; ++i) {
        DWORD written = 0;
        if (!CeWriteFile(file, piece.data(), 4096, &written, nullptr)) {
            copyResult.errorAfter = CeRapiGetError();
            break;
        }
        ++copyResult.piecesWritten;
    }
    CeCloseHandle(file);
    copyResult.done = true;
    return 0;
}

bool PullTheCable() {
    if (unplugAfter == 0 || RapiRequestsServed() < unplugAfter) {
        return false;
    }
    unplugAfter = 0;
    for (Machine *machine : BootedMachines()) {
        if (KindOf(machine) == MachineKind::Device) {
            Machine *previous = SwitchToMachine(machine);
            SetCablePlugged(false);
            SwitchToMachine(previous);
        }
    }
    return true;
}

TEST_F(Rapi, AProgramsCopyFailsWithAConnectionErrorWhenTheCableGoes) {
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\copier.exe", CopyingProgram);
    StartOn(desktop, u"C:\\Windows\\copier.exe", u"");
    ASSERT_TRUE(copyResult.done) << "the program never waits longer than the device takes";
    EXPECT_EQ(copyResult.init, S_OK);
    EXPECT_EQ(copyResult.piecesWritten, 64);
    EXPECT_EQ(HostFileText(deviceFolder + "/My Documents/copy.bin").size(), 64u * 4096);

    // The program's own connection asks its question, then the file's creation and ten pieces.
    unplugAfter = RapiRequestsServed() + 12;
    AddHostService(PullTheCable);
    StartOn(desktop, u"C:\\Windows\\copier.exe", u"");
    RemoveHostService(PullTheCable);
    ASSERT_TRUE(copyResult.done) << "no hang";
    EXPECT_EQ(copyResult.piecesWritten, 10);
    EXPECT_EQ(copyResult.errorAfter, CERAPI_E_CONNECTION_LOST);
}

// Two PC programs copying at once, each waiting for its replies while the other runs.
int WINAPI NamedCopyProgram(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    CeRapiInit();
    const std::u16string path = u"\\My Documents\\" + WideFromAnsi(commandLine);
    HANDLE file = CeCreateFile(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    for (int i = 0; i < 20; ++i) {
        const std::string piece = std::string(commandLine) + std::to_string(i) + ";";
        DWORD written = 0;
        CeWriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr);
    }
    CeCloseHandle(file);
    return 0;
}

TEST_F(Rapi, TwoProgramsCopyingAtOnceGetTheirOwnReplies) {
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\named.exe", NamedCopyProgram);
    {
        OnMachine on(desktop);
        for (const char *name : {"a", "b"}) {
            std::string line = std::string("C:\\Windows\\named.exe ") + name;
            PROCESS_INFORMATION started = {};
            ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, nullptr, &started));
        }
    }
    RunUntilIdle();
    for (const std::string name : {"a", "b"}) {
        std::string expected;
        for (int i = 0; i < 20; ++i) {
            expected += name + std::to_string(i) + ";";
        }
        EXPECT_EQ(HostFileText(deviceFolder + "/My Documents/" + name), expected);
    }
}

// A connection that sends what is no request is closed, and the device changes nothing.
TEST_F(Rapi, MalformedAndOversizedMessagesCloseTheirConnectionOnly) {
    const int port = RapiPortOfDeviceFolder(deviceFolder);
    ASSERT_NE(port, 0);
    auto rawConnection = [&] {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        return fd;
    };
    // Each is sent on a connection of its own; the device must close it.
    const uint16_t parameters = static_cast<uint16_t>(RapiCall::systemParametersInfo);
    const std::vector<std::vector<uint8_t>> bad = {
        {0x01, 0x00, 0x10, 0x00},                                   // 1 MiB and a byte
        {0x02, 0x00, 0x00, 0x00, 0x63, 0x00},                       // an unknown call
        MessageWriter().U16(14).U32(0x7FFFFFFF).Framed(),           // a text longer than it
        MessageWriter().U16(15).Text(u"\\Temp\\x").U32(1).Framed(), // bytes left over
        // a parameter's buffer one byte above the bound, and a buffer flag that is neither
        MessageWriter()
            .U16(parameters)
            .U32(257)
            .U32(maxSystemParameterBytes + 1)
            .U32(0)
            .U32(1)
            .Framed(),
        MessageWriter().U16(parameters).U32(257).U32(18).U32(0).U32(2).Framed()};
    for (const std::vector<uint8_t> &message : bad) {
        const int fd = rawConnection();
        ASSERT_EQ(send(fd, message.data(), message.size(), 0),
                  static_cast<ssize_t>(message.size()));
        RunUntilIdle();
        char reply;
        EXPECT_EQ(recv(fd, &reply, 1, MSG_DONTWAIT), 0) << "closed";
        close(fd);
    }
    EXPECT_FALSE(std::filesystem::exists(deviceFolder + "/Temp/x"));

    // Eight connections at most, the desktop's own among them: a ninth is refused.
    std::vector<int> waiting;
    for (int i = 0; i < 8; ++i) {
        waiting.push_back(rawConnection());
    }
    RunUntilIdle();
    char reply;
    EXPECT_EQ(recv(waiting[6], &reply, 1, MSG_DONTWAIT), -1) << "the eighth is kept";
    EXPECT_EQ(recv(waiting[7], &reply, 1, MSG_DONTWAIT), 0) << "the ninth is closed";
    for (int fd : waiting) {
        close(fd);
    }
    RunUntilIdle();
    OnMachine on(desktop);
    STORE_INFORMATION store;
    EXPECT_TRUE(CeGetStoreInformation(&store)) << "the desktop's own connection stays";
}

} // namespace
