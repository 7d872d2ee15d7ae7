// The main job's whole installation on virtual time: Setup from the product's disk on a new PC,
// the application manager, the device's installer and its hook, the layouts copied, and the
// keyboard from the Start menu typing into Notes; then what the device holds.
#include <gtest/gtest.h>

#include <sstream>

#include "desktop/desktop_distribution.h"
#include "device/device_script.h"
#include "setup_fixture.h"

namespace {

// The script's lines without its screenshots, which are for a person to look at.
std::string ScriptText(const char *path) {
    std::ifstream file(path);
    EXPECT_TRUE(file.good()) << path;
    std::string text;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("screenshot", 0) != 0)
            text += line + "\n";
    }
    return text;
}

class InstallationSession : public SetupFixture {
  protected:
    std::u16string DeviceValue(HKEY root, const char16_t *keyName, const char16_t *name) {
        OnMachine on(device);
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, keyName, 0, 0, &key) != ERROR_SUCCESS)
            return u"(no key)";
        WCHAR value[MAX_PATH] = {};
        DWORD bytes = sizeof value - sizeof(WCHAR);
        const LONG read =
            RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(value), &bytes);
        RegCloseKey(key);
        return read == ERROR_SUCCESS ? value : u"(no value)";
    }
};

TEST_F(InstallationSession, SetupInstallsTheProductAndTheKeyboardTypes) {
    std::string error;
    ASSERT_TRUE(InstallDistribution(PENNAKEY_PRODUCT_DIST, error)) << error;
    std::istringstream script(ScriptText(INSTALLATION_SCRIPT) + ScriptText(TYPING_SCRIPT));
    std::ostringstream out;
    std::ostringstream errors;
    ASSERT_EQ(RunScript(script, out, errors), 0) << errors.str() << out.str();
    const std::string said = out.str();
    EXPECT_NE(said.find("Hej caf\xC3\xA9 Hello!\n"), std::string::npos) << said;

    // The programs, the hook's value, the shortcut and every layout of the disk.
    for (const char *name :
         {"Program Files/Pennakey/pennakbd.exe", "Program Files/Pennakey/layodex.dll",
          "Windows/pennkbd.htc", "Windows/Start Menu/Programs/Pennakey.lnk"})
        EXPECT_TRUE(std::filesystem::exists(OnDevice(name))) << name;
    for (const auto &file : std::filesystem::directory_iterator(PENNAKEY_PRODUCT_DIST)) {
        if (file.path().extension() != ".kbi")
            continue;
        const std::string name = file.path().filename().string();
        EXPECT_EQ(HostFileText(OnDevice("Program Files/Pennakey/" + name)),
                  HostFileText(file.path().string()))
            << name;
    }
    EXPECT_EQ(DeviceValue(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", u"InstDir"),
              u"\\Program Files\\Pennakey");
    EXPECT_NE(DeviceValue(HKEY_LOCAL_MACHINE, u"Software\\Apps\\Quorvale2 Pennakey", nullptr),
              u"(no key)")
        << "the installed-package record";
    // The cabinet went once it was installed.
    EXPECT_FALSE(std::filesystem::exists(OnDevice("Windows/AppMgr/Install/Pennakey_ppc.cab")));
    // With cabinets of both kinds on the disk, the distribution went into the manager's Handheld
    // PC folder.
    EXPECT_TRUE(std::filesystem::exists(
        OnPc("Program Files/CE Services/HPC Applications/Pennakey/Pennakey.ini")));
}

// The distribution's converter runs on the PC: from its folder it turns the Swedish legacy file
// beside it into the layout the product ships.
TEST_F(InstallationSession, TheConverterOfTheDistributionRunsOnThePc) {
    std::string error;
    ASSERT_TRUE(InstallDistribution(PENNAKEY_PRODUCT_DIST, error)) << error;
    std::filesystem::remove(OnPc("Pennakey/Swedish.kbi"));
    std::istringstream script("machine desktop\n"
                              "start \"C:\\Pennakey\\morvex.exe\"\n"
                              "wait-window \"Translating Application\"\n"
                              "answer OK\n"
                              "idle\n");
    std::ostringstream out;
    std::ostringstream errors;
    ASSERT_EQ(RunScript(script, out, errors), 0) << errors.str();
    EXPECT_EQ(HostFileText(OnPc("Pennakey/Swedish.kbi")),
              HostFileText(std::string(PENNAKEY_PRODUCT_DIST) + "/Swedish.kbi"));
}

} // namespace
