// A booted device with packages to install: cabinets written from a manifest, the device's
// installer and remover run on them, their message boxes read and answered, and the device's
// folder and registry compared before and after.
#ifndef TESTS_INSTALL_INSTALLER_SESSION_H
#define TESTS_INSTALL_INSTALLER_SESSION_H

#include "../device/booted_device.h"

#include "install/cab_archive.h"
#include "install/cab_manifest.h"

#include <map>
#include <string>
#include <vector>

// Every file and folder under the device's folder with its bytes (folders with none).
using FolderSnapshot = std::map<std::string, std::string>;

class InstallerSession : public BootedDevice {
  protected:
    void SetUp() override;

    // A package "Tester" by "Quorvale2" with three files, five values, a shortcut and the test
    // setup library; tests change it before writing it.
    static CabManifest TesterManifest();
    // Writes the cabinet to \My Documents\test.cab: the manifest, a member for each file and, when
    // asked, the setup library.
    void WritePackage(const CabManifest &manifest, bool withSetupLibrary = true);
    void WriteMembers(const std::vector<CabMember> &members);
    std::vector<CabMember> Members(const CabManifest &manifest, bool withSetupLibrary) const;

    // Starts a program and answers its message boxes with the buttons in turn, keeping each box's
    // text; the program's exit code, or -1 when it is still running after the last answer.
    int Run(const char16_t *program, const std::u16string &commandLine,
            const std::vector<std::u16string> &buttons);
    int Install(const std::vector<std::u16string> &buttons = {u"OK"});
    int Remove(const std::vector<std::u16string> &buttons = {u"OK"});

    void SetAnswer(const char16_t *name, DWORD value);
    // The setup library's calls, a line each.
    std::vector<std::string> SetupCalls() const;
    FolderSnapshot Snapshot() const;
    std::string Read(const std::string &devicePath) const;
    std::u16string StringValue(HKEY root, const char16_t *key, const char16_t *name) const;
    bool KeyExists(HKEY root, const char16_t *key) const;

    std::vector<std::string> boxes; // the texts of the boxes answered, in order
    std::vector<uint8_t> fileBytes[3] = {{'e', 'x', 'e'}, {'h', 'l', 'p'}, {'d', 'a', 't'}};
};

#endif
