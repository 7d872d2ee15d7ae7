// The pieces of Setup on their own: the names the lists show, the platform folder, the lists,
// the progress budget, and what it asks of the device and copies onto it.
#include <gtest/gtest.h>

#include <commctrl.h>
#include <rapi.h>

#include "kernel/modules.h"
#include "rapi/rapi_server.h"
#include "setup_fixture.h"
#include "setup_state.h"

namespace {

class SetupPieces : public SetupFixture {
  protected:
    void SetUp() override {
        SetupFixture::SetUp();
        SetupInstance = HostExecutableModule(); // where the pages' templates are
        StepBudget = 0;
        BytesRequired = 0;
    }
    void TearDown() override {
        FreeLayoutList(&AvailableList);
        FreeLayoutList(&LoadList);
        StepBudget = 0;
        SetupFixture::TearDown();
    }
    // The name Setup reads from a file of that text in C:\Layouts.
    std::string NameOf(const std::u16string &text) {
        WriteText(OnPc("Layouts/probe.kbi"), text);
        OnMachine pc(desktop);
        SetCurrentDirectoryA("C:\\Layouts");
        char name[216] = "untouched";
        return ReadLayoutName("probe.kbi", name, sizeof name) ? std::string(name) : "(none)";
    }
    // The device's "InstDir", written through the cable; RAPI is the caller's.
    static void WriteInstallDir(const std::u16string &value, size_t bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(CeRegCreateKeyEx(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, nullptr,
                                   0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        CeRegSetValueEx(key, u"InstDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(value.data()),
                        static_cast<DWORD>(bytes));
        CeRegCloseKey(key);
    }
    static std::u16string Padded(size_t units, const std::u16string &after) {
        return std::u16string(units, u' ') + after;
    }
};

TEST_F(SetupPieces, ALayoutsNameIsTheFirstHeadersFirstField) {
    EXPECT_EQ(NameOf(u"[English,E,Main,1]\r\n0, 0, 1, 1, 0, a, 0, 0\r\n"), "English");
    EXPECT_EQ(NameOf(u"[   Swedish ,S,Main,1]\r\n"), "Swedish ") << "blanks after [ go";
    EXPECT_EQ(NameOf(u"\xFEFF[Greek,G,Main,1]\r\n"), "Greek") << "a byte-order mark first";
    EXPECT_EQ(NameOf(u"; comment\r\n[Russian,R,Main,1]\r\n"), "Russian");
    EXPECT_EQ(NameOf(u"no header at all\r\n"), "(none)");
    EXPECT_EQ(NameOf(u"[NoComma]\r\n"), "(none)");
    EXPECT_EQ(NameOf(u"[,E,Main,1]\r\n"), "(none)") << "an empty name";
    EXPECT_EQ(NameOf(u""), "(none)");
}

// The name is looked for in the first 100 characters after any leading comment lines: a comma
// as the 100th character still ends it; as the 101st it is not seen.
TEST_F(SetupPieces, TheNameMustEndWithinAHundredCharactersAfterTheComments) {
    const std::u16string filler(96, u'x'); // not blank: the count starts at it
    EXPECT_EQ(NameOf(filler + u" [A,B,Main,1]"), "A");
    EXPECT_EQ(NameOf(filler + u"  [A,B,Main,1]"), "(none)");
    EXPECT_EQ(NameOf(Padded(300, u"[A,B,Main,1]")), "A") << "leading blanks do not count";
}

// A file may open with comment lines, as the shipped English layout does; a "[" inside them is
// not the header's.
TEST_F(SetupPieces, LeadingCommentLinesArePassedOver) {
    const std::u16string comment = u"// " + std::u16string(150, u'c') + u"\r\n";
    EXPECT_EQ(NameOf(comment + comment + u"[English,En,Main,1]\r\n"), "English");
    EXPECT_EQ(NameOf(u"// see [Other,O,Main,1]\r\n[Mine,M,Main,1]\r\n"), "Mine");
    EXPECT_EQ(NameOf(u"// only a comment"), "(none)");
    // The head read is 4096 bytes (2048 characters): the comma must be within it.
    EXPECT_EQ(NameOf(Padded(2043, u"[Far,F,Main,1]")), "Far");
    EXPECT_EQ(NameOf(Padded(2044, u"[Far,F,Main,1]")), "(none)");
}

TEST_F(SetupPieces, EveryNamedLayoutFileIsListedTwinsIncluded) {
    WriteText(OnPc("Layouts/one.kbi"), u"[Twin,T,Main,1]\r\n");
    WriteText(OnPc("Layouts/two.kbi"), u"[Twin,T,Main,1]\r\n");
    WriteText(OnPc("Layouts/unnamed.kbi"), u"nothing here\r\n");
    WriteText(OnPc("Layouts/other.txt"), u"[Other,O,Main,1]\r\n");
    std::filesystem::create_directories(OnPc("Layouts/folder.kbi"));
    OnMachine pc(desktop);
    SetCurrentDirectoryA("C:\\Layouts");
    lstrcpyA(LayoutsDirectory, "C:\\Layouts\\");
    ScanLayoutFiles();
    ASSERT_EQ(CountLayoutEntries(AvailableList), 2);
    // Pushed at the head: the file found last comes first.
    EXPECT_STREQ(AvailableList->data->path, "C:\\Layouts\\two.kbi");
    EXPECT_STREQ(AvailableList->next->data->path, "C:\\Layouts\\one.kbi");
    EXPECT_STREQ(AvailableList->data->name, "Twin");
    EXPECT_STREQ(AvailableList->next->data->name, "Twin");
}

TEST_F(SetupPieces, AnEntryMovesToTheHeadOfTheOtherList) {
    LayoutFileEntry *entries[3];
    for (LayoutFileEntry *&entry : entries) {
        entry = static_cast<LayoutFileEntry *>(LocalAlloc(LPTR, sizeof(LayoutFileEntry)));
        ASSERT_TRUE(PushLayoutEntry(&AvailableList, entry));
    }
    UnlinkLayoutEntry(&AvailableList, entries[1]); // the middle
    ASSERT_TRUE(PushLayoutEntry(&LoadList, entries[1]));
    UnlinkLayoutEntry(&AvailableList, entries[2]); // the head
    ASSERT_TRUE(PushLayoutEntry(&LoadList, entries[2]));
    ASSERT_EQ(CountLayoutEntries(AvailableList), 1);
    EXPECT_EQ(AvailableList->data, entries[0]);
    EXPECT_EQ(AvailableList->previous, nullptr);
    ASSERT_EQ(CountLayoutEntries(LoadList), 2);
    EXPECT_EQ(LoadList->data, entries[2]);
    EXPECT_EQ(LoadList->next->data, entries[1]);
    EXPECT_EQ(LoadList->next->previous, LoadList);
    UnlinkLayoutEntry(&LoadList, entries[1]); // the tail
    EXPECT_EQ(LoadList->next, nullptr);
    LocalFree(entries[1]);
}

TEST_F(SetupPieces, OnlyPocketPcCabinetsChooseThePocketPcFolder) {
    struct Case {
        std::vector<std::string> cabinets;
        bool pocketPc;
    };
    const Case cases[] = {
        {{"Pennakey_ppc.cab"}, true},
        {{"Pennakey_ppc.cab", "Pennakey_ppc2.cab"}, true},
        {{"Pennakey_hpc.cab"}, false},
        {{"Pennakey_ppc.cab", "Pennakey_hpc.cab"}, false},
        {{"Pennakey_PPC.cab"}, false}, // lower case only
        {{"Other_ppc.cab"}, false},    // only the product's cabinets count
        {{}, false},
    };
    int folder = 0;
    for (const Case &test : cases) {
        const std::string name = "Start" + std::to_string(folder++);
        std::filesystem::create_directories(OnPc(name));
        for (const std::string &cabinet : test.cabinets)
            WriteBytes(OnPc(name + "/" + cabinet), "MSCF");
        OnMachine pc(desktop);
        ASSERT_TRUE(SetCurrentDirectoryA(("C:\\" + name).c_str()));
        EXPECT_EQ(ChoosePlatformFolder() != FALSE, test.pocketPc) << name;
    }
}

// The bar moves once a step while the budget lasts; then neither it nor the item line changes.
TEST_F(SetupPieces, TheProgressBudgetStopsTheBarAndTheItemLine) {
    OnMachine pc(desktop);
    InitCommonControls();
    for (DWORD budget : {2u, 0u}) {
        HWND bar = CreateProgressWindow(5, "", "Copying to device:");
        ASSERT_NE(bar, nullptr);
        HWND page = GetParent(GetParent(bar));
        StepBudget = budget;
        const char *items[] = {"first", "second", "third"};
        for (const char *item : items)
            StepProgress(bar, item);
        char shown[64] = {};
        GetDlgItemTextA(page, IDC_PROGRESS_ITEM, shown, sizeof shown);
        EXPECT_STREQ(shown, budget == 2 ? "second" : "") << budget;
        GetDlgItemTextA(page, IDC_PROGRESS_HEADING, shown, sizeof shown);
        EXPECT_STREQ(shown, "Copying to device:");
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), static_cast<LRESULT>(budget));
        EXPECT_EQ(StepBudget, 0u);
        char title[32] = {};
        GetWindowTextA(page, title, sizeof title);
        EXPECT_STREQ(title, "Pennakey");
        DestroyProgressWindow(bar);
        EXPECT_FALSE(IsWindow(page));
    }
}

// Two matching windows: the later in the sibling order wins; a text that differs only in case does
// not match.
TEST_F(SetupPieces, TheDeviceWindowIsTheLastMatchInSiblingOrder) {
    HWND first, second, lowerCase;
    {
        OnMachine on(device);
        first = CreateWindowExW(0, u"Dialog", u"Keyboard layouts", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                50, nullptr, nullptr, nullptr, nullptr);
        second = CreateWindowExW(0, u"Dialog", u"Keyboard layouts", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                 50, nullptr, nullptr, nullptr, nullptr);
        lowerCase = CreateWindowExW(0, u"Dialog", u"keyboard layouts", WS_POPUP | WS_VISIBLE, 0, 0,
                                    50, 50, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(lowerCase, nullptr);
        // Each new window goes on top: the first one made is the last in sibling order.
        ASSERT_EQ(GetWindow(lowerCase, GW_HWNDNEXT), second);
        ASSERT_EQ(GetWindow(second, GW_HWNDNEXT), first);
    }
    OnMachine pc(desktop);
    ASSERT_NE(CeRapiInit(), E_FAIL);
    EXPECT_EQ(FindDeviceWindow("Dialog", "Keyboard layouts"), first);
    EXPECT_EQ(FindDeviceWindow("Dialog", "keyboard layouts"), lowerCase);
    EXPECT_EQ(FindDeviceWindow("dialog", "Keyboard layouts"), nullptr);
    EXPECT_EQ(FindDeviceWindow("Dialog", "Keyboard"), nullptr);
    CeRapiUninit();
    (void)second;
}

// 10,000 bytes go as 4096, 4096, 1808 and an empty write: four steps.
TEST_F(SetupPieces, AFileGoesInChunksWithAStepForEachWrite) {
    std::string bytes(10000, '\0');
    for (size_t i = 0; i < bytes.size(); i++)
        bytes[i] = static_cast<char>(i * 7);
    WriteBytes(OnPc("Layouts/big.kbi"), bytes);
    WriteBytes(OnPc("Layouts/empty.kbi"), "");
    OnMachine pc(desktop);
    ASSERT_NE(CeRapiInit(), E_FAIL);
    StepBudget = 10;
    EXPECT_TRUE(CopyFileToDevice("C:\\Layouts\\big.kbi", "\\Temp\\big.kbi", nullptr));
    EXPECT_EQ(StepBudget, 6u);
    EXPECT_EQ(HostFileText(OnDevice("Temp/big.kbi")), bytes);
    EXPECT_TRUE(CopyFileToDevice("C:\\Layouts\\empty.kbi", "\\Temp\\empty.kbi", nullptr));
    EXPECT_EQ(StepBudget, 5u) << "an empty file is one empty write";
    EXPECT_TRUE(std::filesystem::exists(OnDevice("Temp/empty.kbi")));
    EXPECT_FALSE(CopyFileToDevice("C:\\Layouts\\missing.kbi", "\\Temp\\missing.kbi", nullptr));
    EXPECT_FALSE(CopyFileToDevice("C:\\Layouts\\big.kbi", "\\NoSuchFolder\\big.kbi", nullptr));
    CeRapiUninit();
}

TEST_F(SetupPieces, TheInstallationDirectoryComesFromTheDevicesRegistry) {
    OnMachine pc(desktop);
    ASSERT_NE(CeRapiInit(), E_FAIL);
    char directory[MAX_PATH] = "untouched";
    EXPECT_FALSE(ReadDeviceInstallDir(directory, MAX_PATH)) << "not installed";
    const std::u16string value = u"\\Program Files\\Pennakey";
    WriteInstallDir(value, (value.size() + 1) * sizeof(char16_t));
    EXPECT_TRUE(ReadDeviceInstallDir(directory, MAX_PATH));
    EXPECT_STREQ(directory, "\\Program Files\\Pennakey");
    // 130 characters without a terminator fill the 260 bytes read: all of them, and no more.
    const std::u16string full(130, u'x');
    WriteInstallDir(full, full.size() * sizeof(char16_t));
    EXPECT_TRUE(ReadDeviceInstallDir(directory, MAX_PATH));
    EXPECT_EQ(std::string(directory), std::string(130, 'x'));
    CeRapiUninit();
}

// The bytes needed are the files' sizes; the free bytes are the device store's.
TEST_F(SetupPieces, TheSpaceQueryAddsTheFilesAndAsksTheStore) {
    WriteBytes(OnPc("Layouts/a.kbi"), std::string(3000, 'a'));
    WriteBytes(OnPc("Layouts/b.kbi"), std::string(2000, 'b'));
    OnMachine pc(desktop);
    LayoutFileEntry *entries[3];
    const char *paths[] = {"C:\\Layouts\\a.kbi", "C:\\Layouts\\b.kbi", "C:\\Layouts\\gone.kbi"};
    for (int i = 0; i < 3; i++) {
        entries[i] = static_cast<LayoutFileEntry *>(LocalAlloc(LPTR, sizeof(LayoutFileEntry)));
        lstrcpyA(entries[i]->path, paths[i]);
        ASSERT_TRUE(PushLayoutEntry(&LoadList, entries[i]));
    }
    ASSERT_NE(CeRapiInit(), E_FAIL);
    STORE_INFORMATION store = {};
    ASSERT_TRUE(CeGetStoreInformation(&store));
    CeRapiUninit();
    DWORD required = 0, free = 0;
    ASSERT_TRUE(QueryDeviceSpace(LoadList, &required, &free));
    EXPECT_EQ(required, 5000u);
    EXPECT_EQ(BytesRequired, 5000u);
    EXPECT_EQ(free, store.dwFreeSize);
}

// The copy's results: no connection, no installation directory, a file that fails (those before
// it stay on the device), and success.
TEST_F(SetupPieces, TheLayoutCopyReportsWhatStoppedIt) {
    WriteBytes(OnPc("Layouts/first.kbi"), std::string(5000, 'f'));
    WriteBytes(OnPc("Layouts/second.kbi"), std::string(100, 's'));
    OnMachine pc(desktop);
    LayoutFileEntry *entries[2];
    const char *paths[] = {"C:\\Layouts\\second.kbi", "C:\\Layouts\\first.kbi"};
    for (int i = 0; i < 2; i++) {
        entries[i] = static_cast<LayoutFileEntry *>(LocalAlloc(LPTR, sizeof(LayoutFileEntry)));
        lstrcpyA(entries[i]->path, paths[i]);
        ASSERT_TRUE(PushLayoutEntry(&LoadList, entries[i]));
    }
    // The head is first.kbi, the entry pushed last.
    auto plug = [&](bool plugged) {
        OnMachine on(device);
        SetCablePlugged(plugged);
    };
    plug(false);
    EXPECT_EQ(CopyLayoutsToDevice(LoadList), COPY_NO_CONNECTION);
    plug(true);
    EXPECT_EQ(CopyLayoutsToDevice(LoadList), COPY_NO_DIRECTORY);

    ASSERT_NE(CeRapiInit(), E_FAIL);
    const std::u16string value = u"\\Temp";
    WriteInstallDir(value, (value.size() + 1) * sizeof(char16_t));
    CeRapiUninit();

    std::filesystem::remove(OnPc("Layouts/second.kbi"));
    EXPECT_EQ(CopyLayoutsToDevice(LoadList), COPY_FILE_FAILED);
    EXPECT_EQ(std::filesystem::file_size(OnDevice("Temp/first.kbi")), 5000u) << "copied before";
    WriteBytes(OnPc("Layouts/second.kbi"), std::string(100, 's'));
    BytesRequired = 5100;
    EXPECT_EQ(CopyLayoutsToDevice(LoadList), 0);
    EXPECT_EQ(std::filesystem::file_size(OnDevice("Temp/second.kbi")), 100u);
    EXPECT_EQ(StepBudget, 0u);
}

} // namespace
