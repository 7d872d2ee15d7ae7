// The product installed from its package by the device's installer with Pennsetup answering, as a
// user does it: by script, from the cabinet to typing with the keyboard started from the Start
// menu, and removed again.
#include "../device/booted_device.h"

#include "device/device_script.h"
#include "kernel/device_identity.h"
#include "kernel/host_paths.h"

#include <filesystem>
#include <sstream>

namespace {

const std::string desktopDist = PENNAKEY_DESKTOP_DIST;

class ProductInstallation : public BootedDevice {
  protected:
    // Runs the lines as a script; its printed output, with the failures expected in `failures`.
    static std::string Script(const std::string &lines, int failures = 0) {
        std::istringstream script(lines);
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(RunScript(script, out, errors), failures) << errors.str();
        return out.str();
    }
    bool OnDevice(const char16_t *path) const {
        return std::filesystem::exists(HostPathFromW(path));
    }
    static std::string PutPackage() {
        return "put " + desktopDist + "/Pennakey_ppc.cab \"\\My Documents\\Pennakey_ppc.cab\"\n" +
               "start \\Windows\\wceload.exe \\My Documents\\Pennakey_ppc.cab\n";
    }
    static std::string PutLayout() {
        return "put " + desktopDist + "/German.kbi \"\\Program Files\\Pennakey\\German.kbi\"\n";
    }
    // The rest of an installation from the layouts question on, a layout copied in meanwhile.
    static std::string FinishWithLayout() {
        return "wait-window \"Keyboard layouts\"\n" + PutLayout() +
               "answer OK\n"
               "wait-window \"Pennakey Setup\"\n"
               "click OK \"Pennakey Setup\"\n"
               "wait-window \"Installation\"\n"
               "windows\n"
               "answer OK\n"
               "wait-gone \"Installation\"\n";
    }
    static std::u16string InstDir() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, 0, &key) !=
            ERROR_SUCCESS) {
            return u"(no key)";
        }
        WCHAR value[MAX_PATH] = {};
        DWORD bytes = sizeof(value) - sizeof(WCHAR);
        const LONG read =
            RegQueryValueExW(key, u"InstDir", nullptr, nullptr, (BYTE *)value, &bytes);
        RegCloseKey(key);
        return read == ERROR_SUCCESS ? value : u"(no value)";
    }
    // Nothing of the product is on the device.
    void ExpectNothingInstalled() const {
        for (const char16_t *path :
             {u"\\Program Files\\Pennakey\\pennakbd.exe", u"\\Windows\\pennkbd.htc",
              u"\\Windows\\Start Menu\\Programs\\Pennakey.lnk", u"\\Windows\\AppMgr"}) {
            EXPECT_FALSE(OnDevice(path)) << HostPathFromW(path);
        }
        EXPECT_EQ(InstDir(), u"(no key)");
    }
};

TEST_F(ProductInstallation, FromThePackageToTypingAndAwayAgain) {
    const std::string shown = Script(PutPackage() +
                                     "wait-window \"Keyboard layouts\"\n"
                                     "windows\n"
                                     "put " +
                                     desktopDist +
                                     "/German.kbi \"\\Program Files\\Pennakey\\German.kbi\"\n"
                                     "answer OK\n"
                                     "wait-window \"Pennakey Setup\"\n"
                                     "click OK \"Pennakey Setup\"\n"
                                     "wait-window \"Installation\"\n"
                                     "answer OK\n"
                                     "wait-gone \"Installation\"\n"
                                     "start \\Windows\\notes.exe\n"
                                     "tap 20 307\n"
                                     "wait-window StartMenu\n"
                                     "text StartMenu\n"
                                     "tap 30 283\n"
                                     "idle\n"
                                     "tap 64 67\n"
                                     "idle\n"
                                     "tap 132 83\n"
                                     "idle\n"
                                     "text NotesEdit\n");
    EXPECT_NE(shown.find("Dialog \"Keyboard layouts\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("Pennakey\n"), std::string::npos) << "the Start menu's entry";
    EXPECT_EQ(shown.substr(shown.size() - 3), "ej\n") << shown;
    EXPECT_FALSE(OnDevice(u"\\My Documents\\Pennakey_ppc.cab"));

    Script("tap 229 10\n" // the keyboard's close button
           "idle\n"
           "start \\Windows\\unload.exe \"Quorvale2 Pennakey\"\n"
           "wait-window \"Remove Programs\"\n"
           "answer OK\n");
    for (const char16_t *path :
         {u"\\Program Files\\Pennakey", u"\\Windows\\pennkbd.htc",
          u"\\Windows\\Start Menu\\Programs\\Pennakey.lnk", u"\\Windows\\AppMgr"}) {
        EXPECT_FALSE(OnDevice(path)) << HostPathFromW(path);
    }
    HKEY record = nullptr;
    EXPECT_NE(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quorvale2 Pennakey", 0, 0, &record),
        ERROR_SUCCESS);
}

TEST_F(ProductInstallation, AnEarlierInstallationIsDetectedAndUpdated) {
    Script(PutPackage() + FinishWithLayout());
    const std::string shown = Script(PutPackage() +
                                     "wait-window \"Pennakey Setup\"\n"
                                     "windows\n"
                                     "answer OK\n" +
                                     FinishWithLayout());
    EXPECT_NE(shown.find("Pennakey is detected on the device. To update the current installation "
                         "make sure Pennakey is closed."),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Pennakey was installed successfully."), std::string::npos) << shown;
    EXPECT_EQ(InstDir(), u"\\Program Files\\Pennakey");
}

// No layout after the first OK, one more chance taken and missed: the hook ends the installation
// and the installer undoes it.
TEST_F(ProductInstallation, WithoutLayoutsTheInstallationIsUndone) {
    const std::string shown = Script(PutPackage() + "wait-window \"Keyboard layouts\"\n"
                                                    "answer OK\n"
                                                    "wait-window \"Pennakey\"\n"
                                                    "answer Yes\n"
                                                    "wait-window \"Keyboard layouts\"\n"
                                                    "answer OK\n"
                                                    "wait-window \"Pennakey Setup\"\n"
                                                    "windows\n"
                                                    "answer OK\n"
                                                    "wait-window \"Installation\"\n"
                                                    "windows\n"
                                                    "answer OK\n"
                                                    "wait-gone \"Installation\"\n");
    EXPECT_NE(shown.find(". Setup could not continue Pennakey installation because of keyboard "
                         "layouts were not installed on the device."),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Pennakey was not installed: its setup undid it."), std::string::npos);
    ExpectNothingInstalled();
    EXPECT_TRUE(OnDevice(u"\\My Documents\\Pennakey_ppc.cab")) << "kept to try again";
}

// A file that cannot be written (a folder stands where it goes): the hook asks for a new
// installation before it asks for layouts, and everything is undone.
TEST_F(ProductInstallation, AFailedFileEndsTheInstallationBeforeTheLayouts) {
    std::filesystem::create_directories(HostPathFromW(u"\\Program Files\\Pennakey\\layodex.dll"));
    const std::string shown = Script(PutPackage() + "wait-window \"Pennakey Setup\"\n"
                                                    "windows\n"
                                                    "answer OK\n"
                                                    "wait-window \"Installation\"\n"
                                                    "answer OK\n"
                                                    "wait-gone \"Installation\"\n");
    EXPECT_NE(shown.find("Some installation data were not copied!\\nPlease reinstall Pennakey."),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("Keyboard layouts"), std::string::npos);
    EXPECT_EQ(InstDir(), u"(no key)");
    EXPECT_FALSE(OnDevice(u"\\Program Files\\Pennakey\\pennakbd.exe"));
}

// Too little room, and a second try: the hook refuses the second call.
TEST_F(ProductInstallation, ASecondTryAfterLackOfSpaceIsRefused) {
    // Room for the cabinet and the hook, which are on the device before the room is measured,
    // not for the rest.
    STORE_INFORMATION store = {};
    GetStoreInformation(&store);
    SetDeviceStoreSize(
        store.dwStoreSize - store.dwFreeSize +
        static_cast<DWORD>(std::filesystem::file_size(desktopDist + "/Pennakey_ppc.cab") +
                           std::filesystem::file_size(PENNSETUP_LIBRARY)) +
        4096);
    const std::string shown = Script(PutPackage() + "wait-window \"Installation\"\n"
                                                    "answer Retry\n"
                                                    "wait-window \"Pennakey Setup\"\n"
                                                    "windows\n"
                                                    "answer OK\n"
                                                    "wait-window \"Installation\"\n"
                                                    "answer OK\n"
                                                    "wait-gone \"Installation\"\n");
    EXPECT_NE(shown.find("Not enough space for the installation Pennakey."), std::string::npos)
        << shown;
    ExpectNothingInstalled();
}

TEST_F(ProductInstallation, RemovingWithoutLayoutsRemovesTheRest) {
    Script(PutPackage() + FinishWithLayout());
    std::filesystem::remove(HostPathFromW(u"\\Program Files\\Pennakey\\German.kbi"));
    Script("start \\Windows\\unload.exe \"Quorvale2 Pennakey\"\n"
           "wait-window \"Remove Programs\"\n"
           "answer OK\n");
    EXPECT_FALSE(OnDevice(u"\\Program Files\\Pennakey"));
    EXPECT_FALSE(OnDevice(u"\\Windows\\pennkbd.htc"));
}

} // namespace
