// Whether a cabinet suits the connected device: each limit of its manifest from inside and just
// past it, the platforms it refuses whatever their case, cabinets that cannot be read, and the
// names cabinets take on the device.
#include <gtest/gtest.h>

#include "appmgr/cabinet_choice.h"
#include "install/cab_archive.h"
#include "temp_folder.h"

#include <functional>
#include <string>

namespace {

ConnectedDevice PocketPc() {
    ConnectedDevice device;
    device.processor = 2577;
    device.majorVersion = 3;
    device.minorVersion = 0;
    device.buildNumber = 11171;
    device.platform = "PocketPC";
    return device;
}

struct FitCase {
    const char *name;
    std::function<void(CabManifest &)> limit;
    CabinetFit fit;
};

class ManifestLimits : public testing::TestWithParam<FitCase> {};

TEST_P(ManifestLimits, AreCheckedAgainstTheDevice) {
    CabManifest manifest;
    GetParam().limit(manifest);
    EXPECT_EQ(FitOf(manifest, PocketPc()), GetParam().fit);
}

INSTANTIATE_TEST_SUITE_P(
    CabinetChoice, ManifestLimits,
    testing::Values(FitCase{"NoLimits", [](CabManifest &) {}, CabinetFit::suits},
                    FitCase{"AnyProcessor", [](CabManifest &m) { m.processor = 0; },
                            CabinetFit::suits},
                    FitCase{"TheDevicesProcessor", [](CabManifest &m) { m.processor = 2577; },
                            CabinetFit::suits},
                    FitCase{"AnotherProcessor", [](CabManifest &m) { m.processor = 4000; },
                            CabinetFit::otherProcessor},
                    FitCase{"AtLeastTheDevicesVersion",
                            [](CabManifest &m) {
                                m.minimumMajor = 3;
                                m.minimumMinor = 0;
                            },
                            CabinetFit::suits},
                    FitCase{"AtLeastTheNextMinorVersion",
                            [](CabManifest &m) {
                                m.minimumMajor = 3;
                                m.minimumMinor = 1;
                            },
                            CabinetFit::otherVersion},
                    FitCase{"AtMostTheDevicesVersion", [](CabManifest &m) { m.maximumMajor = 3; },
                            CabinetFit::suits},
                    FitCase{"AtMostTheVersionBefore",
                            [](CabManifest &m) {
                                m.maximumMajor = 2;
                                m.maximumMinor = 12;
                            },
                            CabinetFit::otherVersion},
                    FitCase{"AtLeastTheDevicesBuild",
                            [](CabManifest &m) { m.minimumBuild = 11171; }, CabinetFit::suits},
                    FitCase{"AtLeastTheNextBuild", [](CabManifest &m) { m.minimumBuild = 11172; },
                            CabinetFit::otherVersion},
                    FitCase{"AtMostTheDevicesBuild", [](CabManifest &m) { m.maximumBuild = 11171; },
                            CabinetFit::suits},
                    FitCase{"AtMostTheBuildBefore", [](CabManifest &m) { m.maximumBuild = 11170; },
                            CabinetFit::otherVersion},
                    FitCase{"RefusingAnotherPlatform",
                            [](CabManifest &m) { m.unsupported = {"HPC"}; }, CabinetFit::suits},
                    FitCase{"RefusingThePlatformInCapitals",
                            [](CabManifest &m) {
                                m.unsupported = {"HPC", "POCKETPC"};
                            },
                            CabinetFit::unsupportedPlatform},
                    FitCase{"RefusingThePlatformInSmallLetters",
                            [](CabManifest &m) { m.unsupported = {"pocketpc"}; },
                            CabinetFit::unsupportedPlatform},
                    FitCase{"RefusingAPlatformOfASimilarName",
                            [](CabManifest &m) {
                                m.unsupported = {"POCKETPC2", "POCKET", ""};
                            },
                            CabinetFit::suits}),
    [](const testing::TestParamInfo<FitCase> &info) { return std::string(info.param.name); });

// The product's packages: each refuses the other kind of device.
TEST(CabinetChoice, AHandheldPcIsRefusedByThePocketPcPackageOnly) {
    ConnectedDevice handheld = PocketPc();
    handheld.platform = "HPC";
    CabManifest pocketPcPackage;
    pocketPcPackage.unsupported = {"HPC"};
    CabManifest handheldPackage;
    handheldPackage.unsupported = {"POCKETPC"};
    EXPECT_EQ(FitOf(pocketPcPackage, handheld), CabinetFit::unsupportedPlatform);
    EXPECT_EQ(FitOf(handheldPackage, handheld), CabinetFit::suits);
    EXPECT_EQ(FitOf(pocketPcPackage, PocketPc()), CabinetFit::suits);
    EXPECT_EQ(FitOf(handheldPackage, PocketPc()), CabinetFit::unsupportedPlatform);
}

TEST(CabinetChoice, CabinetsAreReadFromTheirFiles) {
    TempFolder folder;
    CabManifest manifest;
    manifest.appName = "Tester";
    manifest.provider = "Quorvale2";
    manifest.processor = 4000;
    std::string error;
    ASSERT_TRUE(
        WriteCabinet(folder.Join("mips.cab"), {{"TESTER.000", WriteCabManifest(manifest)}}, error))
        << error;
    manifest.processor = 0;
    ASSERT_TRUE(WriteCabinet(folder.Join("any.cab"),
                             {{"TESTER.000", WriteCabManifest(manifest)}, {"TESTER.001", {1, 2}}},
                             error))
        << error;
    ASSERT_TRUE(WriteCabinet(folder.Join("bare.cab"), {{"TESTER.001", {1, 2}}}, error)) << error;
    ASSERT_TRUE(
        WriteCabinet(folder.Join("damaged.cab"), {{"TESTER.000", {'M', 'S', 'C', 'E'}}}, error))
        << error;
    folder.Write("text.cab", "not a cabinet");

    std::string problem;
    EXPECT_EQ(FitOfCabinet(folder.Join("any.cab"), PocketPc(), problem), CabinetFit::suits);
    EXPECT_EQ(FitOfCabinet(folder.Join("mips.cab"), PocketPc(), problem),
              CabinetFit::otherProcessor);
    for (const char *unreadable : {"bare.cab", "damaged.cab", "text.cab", "missing.cab"}) {
        problem.clear();
        EXPECT_EQ(FitOfCabinet(folder.Join(unreadable), PocketPc(), problem),
                  CabinetFit::unreadable)
            << unreadable;
        EXPECT_FALSE(problem.empty()) << unreadable;
    }
    problem.clear();
    EXPECT_EQ(FitOfCabinet("", PocketPc(), problem), CabinetFit::unreadable) << "not on drive C:";
    EXPECT_FALSE(problem.empty());
}

// The name's longest is what fills a path under \Windows\AppMgr\Install to MAX_PATH.
TEST(CabinetChoice, ACabinetKeepsItsNameOnTheDeviceWhenTheDeviceCanTakeIt) {
    EXPECT_EQ(DeviceFileNameOf("C:\\Pennakey\\Pennakey_ppc.cab"), "Pennakey_ppc.cab");
    EXPECT_EQ(DeviceFileNameOf("cabs/Pennakey_hpc.cab"), "Pennakey_hpc.cab");
    EXPECT_EQ(DeviceFileNameOf("Pennakey.cab"), "Pennakey.cab");
    const size_t longest = MAX_PATH - 1 - std::string("\\Windows\\AppMgr\\Install\\").size();
    const std::string longName = std::string(longest - 4, 'p') + ".cab";
    EXPECT_EQ(DeviceFileNameOf("C:\\" + longName), longName);
    EXPECT_EQ(DeviceFileNameOf("C:\\p" + longName), "") << "one character more";
    for (const char *path : {"", "C:\\Pennakey\\", "..", "C:\\Pennakey\\.", "a\"b.cab", "a*.cab",
                             "a?.cab", "a<b>.cab", "a|b.cab", "C:x.cab", "tab\t.cab"}) {
        EXPECT_EQ(DeviceFileNameOf(path), "") << path;
    }
}

} // namespace
