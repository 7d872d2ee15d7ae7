// The device's cabinet installer and remover: what a package puts where, what its setup library is
// told and how its answers are followed, and packages that must change nothing.
#include "installer_session.h"

#include "kernel/device_identity.h"

#include <ce_setup.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

const char16_t testerKey[] = u"Software\\Quorvale2\\Tester";
const char16_t recordKey[] = u"Software\\Apps\\Quorvale2 Tester";
const char shortcutText[] = "34#\"\\Program Files\\Tester\\tester.exe\"";

using CabInstaller = InstallerSession;

TEST_F(CabInstaller, PutsFilesValuesAndTheShortcutInPlaceAndRecordsThePackage) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Tester was installed successfully."});

    EXPECT_EQ(Read("\\Program Files\\Tester\\tester.exe"), "exe");
    EXPECT_EQ(Read("\\Windows\\tester.hlp"), "hlp");
    EXPECT_EQ(Read("\\Program Files\\Tester\\Sub\\data.bin"), "dat");
    EXPECT_EQ(Read("\\Windows\\Start Menu\\Programs\\Tester.lnk"), shortcutText);
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, testerKey, u"Path"),
              u"\\Program Files\\Tester\\tester.exe");
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, testerKey, u"List"), u"a|\\Windows||");
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, testerKey, u"Keep"), u"new");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, testerKey, 0, 0, &key), ERROR_SUCCESS);
    DWORD count = 0, size = sizeof(count), type = 0;
    EXPECT_EQ(
        RegQueryValueExW(key, u"Count", nullptr, &type, reinterpret_cast<BYTE *>(&count), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count, 7u);
    BYTE blob[4] = {};
    size = sizeof(blob);
    EXPECT_EQ(RegQueryValueExW(key, u"Blob", nullptr, &type, blob, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 2u);
    RegCloseKey(key);

    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, recordKey, u"InstallDir"),
              u"\\Program Files\\Tester");
    EXPECT_EQ(Read("\\Windows\\AppMgr\\Quorvale2 Tester.dll").size(),
              Members(TesterManifest(), true).back().bytes.size());
    EXPECT_EQ(Read("\\My Documents\\test.cab"), "") << "the cabinet goes after an installation";
    EXPECT_EQ(SetupCalls(),
              (std::vector<std::string>{"Install_Init first=1 previous=0 window=1 "
                                        "\\Program Files\\Tester",
                                        "Install_Exit \\Program Files\\Tester failed=0,0,0,0,0"}));
}

TEST_F(CabInstaller, RemovingTakesAwayAllItMadeButLeavesWhatOthersAdded) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    const FolderSnapshot before = Snapshot();
    ASSERT_EQ(Install(), 0);
    ASSERT_EQ(Remove(), 0);
    EXPECT_EQ(boxes.back(), "Quorvale2 Tester was removed.");
    FolderSnapshot after = Snapshot();
    after.erase("My Documents/test.cab");
    FolderSnapshot expected = before;
    expected.erase("My Documents/test.cab");
    EXPECT_EQ(after, expected) << "files, folders, keys, values and the record all go";
    EXPECT_EQ(SetupCalls().back(), "Uninstall_Exit");
    EXPECT_EQ(SetupCalls()[SetupCalls().size() - 2], "Uninstall_Init \\Program Files\\Tester");

    // Again, with a value and a file of someone else's in the package's key and folder.
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    ASSERT_EQ(Install(), 0);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, testerKey, 0, 0, &key), ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExW(key, u"Settings", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&one), 4);
    RegCloseKey(key);
    std::ofstream(folder + "/Program Files/Tester/notes.txt") << "mine";
    ASSERT_EQ(Remove(), 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, testerKey));
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, testerKey, u"Path"), u"<no value>");
    EXPECT_EQ(Read("\\Program Files\\Tester\\notes.txt"), "mine");
    EXPECT_EQ(Read("\\Program Files\\Tester\\tester.exe"), "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, recordKey));

    EXPECT_EQ(Remove(), 1) << "no longer installed";
    EXPECT_EQ(boxes.back(), "\"Quorvale2 Tester\" is not installed on this device.");
}

TEST_F(CabInstaller, FileFlagsDecideWhetherAnExistingFileIsReplaced) {
    CabManifest manifest = TesterManifest();
    manifest.files.push_back({4, 1, 4, manifestFileOnlyOverExisting, "only.ini"});
    std::vector<CabMember> members = Members(manifest, true);
    members.push_back({"TESTER.004", {'n', 'e', 'w'}});
    ASSERT_NO_FATAL_FAILURE(WriteMembers(members));
    CreateDirectoryW(u"\\Program Files\\Tester", nullptr);
    CreateDirectoryW(u"\\Program Files\\Tester\\Sub", nullptr);
    std::ofstream(folder + "/Windows/tester.hlp") << "old help";
    std::ofstream(folder + "/Program Files/Tester/Sub/data.bin") << "old data";
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(Read("\\Windows\\tester.hlp"), "old help") << "never overwritten";
    EXPECT_EQ(Read("\\Program Files\\Tester\\Sub\\data.bin"), "dat") << "always overwritten";
    EXPECT_EQ(Read("\\Program Files\\Tester\\only.ini"), "") << "only over an existing one";
    EXPECT_EQ(SetupCalls().back(), "Install_Exit \\Program Files\\Tester failed=0,0,0,0,0")
        << "a file left alone by its flags is no failure";
}

TEST_F(CabInstaller, AnExistingValueMarkedNoClobberIsKept) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, testerKey, 0, nullptr, 0, 0, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const std::u16string old = u"old";
    RegSetValueExW(key, u"Keep", 0, REG_SZ, reinterpret_cast<const BYTE *>(old.c_str()), 8);
    RegSetValueExW(key, u"Path", 0, REG_SZ, reinterpret_cast<const BYTE *>(old.c_str()), 8);
    RegCloseKey(key);
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, testerKey, u"Keep"), u"old");
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, testerKey, u"Path"),
              u"\\Program Files\\Tester\\tester.exe");
}

// The setup library undoes the installation: files, values, keys, folders and the shortcut go,
// and what was there before comes back as it was.
TEST_F(CabInstaller, AnUndoFromTheSetupLibraryPutsBackWhatWasThere) {
    CreateDirectoryW(u"\\Windows\\Start Menu", nullptr);
    CreateDirectoryW(u"\\Windows\\Start Menu\\Programs", nullptr);
    std::ofstream(folder + "/Windows/Start Menu/Programs/Tester.lnk") << "9#\\old.exe";
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, testerKey, 0, nullptr, 0, 0, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const DWORD three = 3;
    RegSetValueExW(key, u"Count", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&three), 4);
    RegCloseKey(key);
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    SetAnswer(u"Exit", codeINSTALL_EXIT_UNINSTALL);
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Install(), 2);
    EXPECT_EQ(boxes, std::vector<std::string>{"Tester was not installed: its setup undid it."});
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CabInstaller, ACancelFromTheSetupLibraryChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    SetAnswer(u"Init", codeINSTALL_INIT_CANCEL);
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Install(), 2);
    EXPECT_EQ(boxes, std::vector<std::string>{"Tester was not installed: its setup cancelled it."});
    EXPECT_EQ(Snapshot(), before) << "not even the folder for setup libraries is left";
    EXPECT_EQ(SetupCalls().size(), 1u);
}

// Failures are counted by kind: a folder the device does not have (with the file in it), a root
// the device has not, a DWORD of the wrong size, a file that cannot be written.
TEST_F(CabInstaller, EachKindOfFailureIsCountedForTheSetupLibrary) {
    CabManifest manifest = TesterManifest();
    manifest.strings.push_back({8, "%CE9%"});
    manifest.strings.push_back({9, "Classes"});
    manifest.directories.push_back({4, {8}});
    manifest.files[1].directoryId = 4;
    manifest.hives.push_back({2, 1, {9}});
    manifest.values.push_back({6, 2, 0, manifestValueString, "X", std::string("x\0", 2)});
    manifest.values[1].data = "\x07\0\0"; // three bytes for a DWORD
    ASSERT_NO_FATAL_FAILURE(WritePackage(manifest));
    CreateDirectoryW(u"\\Program Files\\Tester", nullptr);
    CreateDirectoryW(u"\\Program Files\\Tester\\tester.exe", nullptr); // where a file must go
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{
                         "Tester was installed successfully. 6 of its items could not be "
                         "installed."});
    EXPECT_EQ(SetupCalls().back(), "Install_Exit \\Program Files\\Tester failed=1,2,1,2,0");
}

// Too little room: the user is told and may try again; each new try asks the setup library with
// "first call" false.
TEST_F(CabInstaller, WithoutRoomTheUserMayTryAgainOrGiveUp) {
    fileBytes[2].assign(4000, 'd');
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    STORE_INFORMATION store = {};
    GetStoreInformation(&store);
    // Room for the setup library and its notes, not for the files.
    const size_t library = Members(TesterManifest(), true).back().bytes.size();
    SetDeviceStoreSize(store.dwStoreSize - store.dwFreeSize + static_cast<DWORD>(library) + 2000);
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Install({u"Retry", u"Cancel", u"OK"}), 2);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].rfind("There is not enough space on the device to install Tester.", 0), 0u)
        << boxes[0];
    EXPECT_EQ(boxes[2], "Tester was not installed: there is not enough space for it.");
    const std::vector<std::string> calls = SetupCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].rfind("Install_Init first=0 previous=0", 0), 0u) << calls[1];
    EXPECT_EQ(Snapshot(), before);
}

// Without a setup library nothing else lands on the device while the room is measured.
TEST_F(CabInstaller, FilesThatFitExactlyAreInstalledAndOneByteMoreIsNot) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest(), false));
    STORE_INFORMATION store = {};
    GetStoreInformation(&store);
    // Nine bytes of files and the shortcut.
    const DWORD used = store.dwStoreSize - store.dwFreeSize + 8 + sizeof(shortcutText) - 1;
    SetDeviceStoreSize(used);
    EXPECT_EQ(Install({u"Cancel", u"OK"}), 2);
    EXPECT_EQ(boxes.size(), 2u);
    boxes.clear();
    SetDeviceStoreSize(used + 1);
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Tester was installed successfully."});
}

TEST_F(CabInstaller, ASecondInstallationKnowsTheFirstAndItsRecordCoversBoth) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    ASSERT_EQ(Install(), 0);
    CabManifest second = TesterManifest();
    second.files.push_back({4, 1, 4, 0, "extra.dll"});
    std::vector<CabMember> members = Members(second, true);
    members.push_back({"TESTER.004", {'x'}});
    ASSERT_NO_FATAL_FAILURE(WriteMembers(members));
    // A cancelled update leaves the first installation removable.
    SetAnswer(u"Init", codeINSTALL_INIT_CANCEL);
    EXPECT_EQ(Install(), 2);
    EXPECT_EQ(SetupCalls().back(),
              "Install_Init first=1 previous=1 window=1 \\Program Files\\Tester");
    SetAnswer(u"Init", codeINSTALL_INIT_CONTINUE);
    ASSERT_NO_FATAL_FAILURE(WriteMembers(members));
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(Read("\\Program Files\\Tester\\extra.dll"), "x");
    ASSERT_EQ(Remove(), 0);
    EXPECT_EQ(Read("\\Program Files\\Tester\\extra.dll"), "");
    EXPECT_EQ(Read("\\Program Files\\Tester\\tester.exe"), "");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, testerKey));
}

TEST_F(CabInstaller, TheSetupLibraryMayRefuseARemoval) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    ASSERT_EQ(Install(), 0);
    SetAnswer(u"Uninstall", codeUNINSTALL_INIT_CANCEL);
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Remove(), 2);
    EXPECT_EQ(boxes.back(), "Quorvale2 Tester was not removed: its setup cancelled the removal.");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CabInstaller, APackageWithoutSetupLibraryInstallsAndGoesAllTheSame) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest(), false));
    const FolderSnapshot before = Snapshot();
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(Read("\\Program Files\\Tester\\tester.exe"), "exe");
    ASSERT_EQ(Remove(), 0);
    FolderSnapshot after = Snapshot();
    FolderSnapshot expected = before;
    expected.erase("My Documents/test.cab");
    EXPECT_EQ(after, expected);
    EXPECT_TRUE(SetupCalls().empty());
}

TEST_F(CabInstaller, TheCabinetStaysWhenTheCommandLineAsks) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest(), false));
    EXPECT_EQ(Run(u"\\Windows\\wceload.exe", u"\"\\My Documents\\test.cab\" /DELETE 0", {u"OK"}),
              0);
    EXPECT_NE(Read("\\My Documents\\test.cab"), "");
    EXPECT_EQ(Read("\\Program Files\\Tester\\tester.exe"), "exe");
}

// ---- packages that are not for this device, and damaged ones ----

struct Refused {
    const char *name;
    void (*change)(CabManifest &);
    const char *message;
};

class RefusedPackages : public InstallerSession, public testing::WithParamInterface<Refused> {};

TEST_P(RefusedPackages, ChangeNothingAndSayWhy) {
    CabManifest manifest = TesterManifest();
    GetParam().change(manifest);
    ASSERT_NO_FATAL_FAILURE(WritePackage(manifest));
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Install(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(GetParam().message), std::string::npos) << boxes[0];
    EXPECT_EQ(Snapshot(), before) << "the cabinet stays too";
    EXPECT_TRUE(SetupCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    CabInstaller, RefusedPackages,
    testing::Values(
        Refused{"AnotherProcessor", [](CabManifest &m) { m.processor = 4000; },
                "it is made for another processor"},
        Refused{"ANewerSystem",
                [](CabManifest &m) {
                    m.minimumMajor = 3;
                    m.minimumMinor = 1;
                },
                "it needs another version of Windows CE"},
        Refused{"AnOlderSystem",
                [](CabManifest &m) {
                    m.maximumMajor = 2;
                    m.maximumMinor = 11;
                },
                "it needs another version of Windows CE"},
        Refused{"ALaterBuild", [](CabManifest &m) { m.minimumBuild = deviceBuildNumber + 1; },
                "it needs another version of Windows CE"},
        Refused{"UnsupportedHere",
                [](CabManifest &m) {
                    m.unsupported = {"HPC", "pocketpc"};
                },
                "it is not meant for this kind of device"},
        Refused{"ANameThatLeavesProgramFiles", [](CabManifest &m) { m.appName = "..\\Windows"; },
                "its name cannot be a folder's"},
        Refused{"AProviderThatMakesAKeyPath", [](CabManifest &m) { m.provider = "A\\B"; },
                "its name cannot be a folder's"},
        Refused{"AFileNameThatClimbs", [](CabManifest &m) { m.files[0].name = "..\\x.exe"; },
                "file 1 has no place"},
        Refused{"ADirectoryThatClimbs", [](CabManifest &m) { m.strings[2].text = ".."; },
                "directory 3 is no path"},
        Refused{"AStringThatIsMissing", [](CabManifest &m) { m.directories[0].stringIds = {42}; },
                "directory 1 is no path"},
        Refused{"AFileWithoutMember", [](CabManifest &m) { m.files[0].number = 7; },
                "no member for file 7"},
        Refused{"AValueWithoutKey", [](CabManifest &m) { m.values[0].hiveId = 9; },
                "value 1 has no key"},
        Refused{"AShortcutWithoutTarget", [](CabManifest &m) { m.links[0].targetId = 9; },
                "shortcut 1 has no target"}),
    [](const testing::TestParamInfo<Refused> &info) { return std::string(info.param.name); });

// Cabinets that cannot be read, and manifests that point outside themselves.
TEST_F(CabInstaller, DamagedCabinetsChangeNothing) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    const std::string path = folder + "/My Documents/test.cab";
    std::ifstream in(path, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<CabMember> badManifest = Members(TesterManifest(), true);
    badManifest[0].bytes[60] = 0xF0; // the strings' offset, beyond the manifest
    std::vector<CabMember> noManifest = Members(TesterManifest(), true);
    noManifest.erase(noManifest.begin());
    std::vector<CabMember> notMsce = Members(TesterManifest(), true);
    notMsce[0].bytes[0] = 'X';

    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"cut short", whole.substr(0, whole.size() / 2)},
        {"no cabinet", "MSCF but not really a cabinet file at all"},
        {"empty", ""}};
    for (const auto &[what, bytes] : damaged) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        boxes.clear();
        const FolderSnapshot before = Snapshot();
        EXPECT_EQ(Install(), 1) << what;
        ASSERT_EQ(boxes.size(), 1u) << what;
        EXPECT_NE(boxes[0].find("is not a valid installation file"), std::string::npos) << what;
        EXPECT_EQ(Snapshot(), before) << what;
    }
    for (const std::vector<CabMember> *members : {&badManifest, &noManifest, &notMsce}) {
        ASSERT_NO_FATAL_FAILURE(WriteMembers(*members));
        boxes.clear();
        const FolderSnapshot before = Snapshot();
        EXPECT_EQ(Install(), 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find("is not a valid installation file"), std::string::npos) << boxes[0];
        EXPECT_EQ(Snapshot(), before);
    }
    boxes.clear();
    EXPECT_EQ(Run(u"\\Windows\\wceload.exe", u"", {u"OK"}), 1);
    EXPECT_EQ(boxes, std::vector<std::string>{"No installation file was given."});
}

TEST_F(CabInstaller, ASetupLibraryWithoutRoomIsLackOfSpace) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    STORE_INFORMATION store = {};
    GetStoreInformation(&store);
    SetDeviceStoreSize(store.dwStoreSize - store.dwFreeSize + 10);
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Install(), 2);
    EXPECT_EQ(boxes, std::vector<std::string>{
                         "Tester was not installed: there is not enough space for it."});
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CabInstaller, ASetupLibraryThatCannotBeLoadedChangesNothing) {
    std::vector<CabMember> members = Members(TesterManifest(), true);
    members.back().bytes = {'n', 'o', 't', ' ', 'c', 'o', 'd', 'e'};
    ASSERT_NO_FATAL_FAILURE(WriteMembers(members));
    const FolderSnapshot before = Snapshot();
    EXPECT_EQ(Install(), 1);
    EXPECT_EQ(boxes, std::vector<std::string>{
                         "Tester was not installed: its setup library cannot be loaded."});
    EXPECT_EQ(Snapshot(), before);
}

class HandheldInstaller : public InstallerSession {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetScreenByName(options, "hpc"));
        InstallerSession::SetUp();
    }
};

TEST_F(HandheldInstaller, StandardFoldersAreTheHandheldPcsOwn) {
    ASSERT_NO_FATAL_FAILURE(WritePackage(TesterManifest()));
    ASSERT_EQ(Install(), 0);
    EXPECT_EQ(Read("\\Windows\\Programs\\Tester.lnk"), shortcutText);
    EXPECT_EQ(Read("\\Windows\\Start Menu\\Programs\\Tester.lnk"), "");
}

} // namespace
