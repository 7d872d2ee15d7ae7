// The product's installation packages as the build writes them: an independent reader finds the
// members with the distribution's bytes, and the manifest names what a device installation needs.
#include <gtest/gtest.h>

#include "install/cab_archive.h"
#include "install/cab_manifest.h"
#include "product_package.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> FileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

CabManifest ManifestOf(const std::vector<CabMember> &members) {
    CabManifest manifest;
    std::string problem;
    EXPECT_TRUE(
        ReadCabManifest(members[0].bytes.data(), members[0].bytes.size(), manifest, problem))
        << problem;
    return manifest;
}

std::string Text(const CabManifest &manifest, uint16_t id) {
    for (const ManifestString &string : manifest.strings) {
        if (string.id == id) {
            return string.text;
        }
    }
    return "(none)";
}

class ProductPackage : public testing::TestWithParam<const char *> {
  protected:
    std::string Path() const {
        return std::string(DESKTOP_DIST) + "/Pennakey_" + GetParam() + ".cab";
    }
};

TEST_P(ProductPackage, CabextractFindsTheDistributionsFilesAsMembers) {
    const std::string out = testing::TempDir() + "/package_" + GetParam();
    const std::string command =
        "rm -rf '" + out + "' && timeout 60 cabextract -q -d '" + out + "' '" + Path() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<std::string> names = ProductFileNames();
    for (size_t number = 1; number <= names.size(); ++number) {
        EXPECT_EQ(FileBytes(out + "/PENNAKEY.00" + std::to_string(number)),
                  FileBytes(std::string(DEVICE_DIST) + "/" + names[number - 1]))
            << names[number - 1];
    }
    EXPECT_EQ(FileBytes(out + "/PENNAKEY.999"),
              FileBytes(std::string(DEVICE_DIST) + "/pennsetup.dll"));
}

TEST_P(ProductPackage, TheManifestComesFirstAndTheFilesFollowFromTheLastNumberDown) {
    std::vector<CabMember> members;
    std::string error;
    ASSERT_TRUE(ReadCabinet(Path(), members, error)) << error;
    std::vector<std::string> names;
    for (const CabMember &member : members) {
        names.push_back(member.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"PENNAKEY.000", "PENNAKEY.999", "PENNAKEY.003",
                                               "PENNAKEY.002", "PENNAKEY.001"}));
    const CabManifest manifest = ManifestOf(members);
    EXPECT_EQ(manifest.appName, "Pennakey");
    EXPECT_EQ(manifest.provider, "Quorvale2");
    const bool pocketPc = std::string(GetParam()) == "ppc";
    EXPECT_EQ(manifest.unsupported, (std::vector<std::string>{pocketPc ? "HPC" : "POCKETPC"}));

    // Every file goes to a directory the manifest defines, the help file to \Windows.
    ASSERT_EQ(manifest.files.size(), 3u);
    for (const ManifestFile &file : manifest.files) {
        const auto directory = std::find_if(
            manifest.directories.begin(), manifest.directories.end(),
            [&](const ManifestDirectory &entry) { return entry.id == file.directoryId; });
        ASSERT_NE(directory, manifest.directories.end()) << file.name;
        EXPECT_EQ(Text(manifest, directory->stringIds[0]),
                  file.name == "pennkbd.htc" ? "%CE2%" : "%InstallDir%");
    }

    // The settings key, made under the current user with the installation directory in it.
    ASSERT_EQ(manifest.hives.size(), 1u);
    EXPECT_EQ(manifest.hives[0].root, 2);
    std::string key;
    for (uint16_t id : manifest.hives[0].stringIds) {
        key += (key.empty() ? "" : "\\") + Text(manifest, id);
    }
    EXPECT_EQ(key, "Software\\Quorvale2\\Pennakey");
    ASSERT_EQ(manifest.values.size(), 1u);
    EXPECT_EQ(manifest.values[0].name, "InstDir");
    EXPECT_EQ(manifest.values[0].substitute, 1);

    // The Start menu's programs hold a shortcut to the keyboard program.
    ASSERT_EQ(manifest.links.size(), 1u);
    EXPECT_EQ(manifest.links[0].baseDirectory, 11);
    EXPECT_EQ(manifest.links[0].targetKind, 1);
    EXPECT_EQ(manifest.files[manifest.links[0].targetId - 1].name, "pennakbd.exe");
    EXPECT_EQ(Text(manifest, manifest.links[0].stringIds[0]), "Pennakey.lnk");
}

INSTANTIATE_TEST_SUITE_P(BothDevices, ProductPackage, testing::Values("ppc", "hpc"));

TEST(ProductPackageDescription, NamesBothCabinetsForTheApplicationManager) {
    std::ifstream in(std::string(DESKTOP_DIST) + "/Pennakey.ini", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("[CEAppManager]\r\nVersion      = 1.0\r\nComponent    = Pennakey\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("[Pennakey]\r\n"), std::string::npos);
    EXPECT_NE(text.find("CabFiles     = Pennakey_ppc.cab,Pennakey_hpc.cab"), std::string::npos);
}

} // namespace
