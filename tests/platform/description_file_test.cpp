// The application manager's description file: the product's own, the same written loosely (CRLF,
// blanks, other case, quotes, comments), and each way a file fails to describe an installation.
#include <gtest/gtest.h>

#include "appmgr/description_file.h"

#include <string>
#include <vector>

namespace {

const char productFile[] = "[CEAppManager]\n"
                           "Version      = 1.0\n"
                           "Component    = Pennakey\n"
                           "\n"
                           "[Pennakey]\n"
                           "Description  = On-screen keyboard\n"
                           "CabFiles     = Pennakey_ppc.cab,Pennakey_hpc.cab\n";

// A line with a NUL in it, one without '=' and one without a key: none of them counts.
const char unreadLines[] = "[CEAppManager]\nComponent=Other\0x\nno equals sign\n=no key\n";

DescriptionFault Read(const std::string &text, InstallDescription &description) {
    return ReadDescriptionFile(text.data(), text.size(), description);
}

struct ReadableCase {
    const char *name;
    std::string text;
};

class ReadableDescriptions : public testing::TestWithParam<ReadableCase> {};

// Each says what the product's own file says.
TEST_P(ReadableDescriptions, SayWhatTheProductsFileSays) {
    InstallDescription description;
    ASSERT_EQ(Read(GetParam().text, description), DescriptionFault::none);
    EXPECT_EQ(description.version, "1.0");
    EXPECT_EQ(description.component, "Pennakey");
    EXPECT_EQ(description.description, "On-screen keyboard");
    EXPECT_EQ(description.cabFiles,
              (std::vector<std::string>{"Pennakey_ppc.cab", "Pennakey_hpc.cab"}));
}

INSTANTIATE_TEST_SUITE_P(
    DescriptionFile, ReadableDescriptions,
    testing::Values(
        ReadableCase{"TheProductsOwn", productFile},
        ReadableCase{
            "WithCrlfAndTightLines",
            "[CEAppManager]\r\nVersion=1.0\r\nComponent=Pennakey\r\n[Pennakey]\r\n"
            "Description=On-screen keyboard\r\nCabFiles=Pennakey_ppc.cab,Pennakey_hpc.cab"},
        ReadableCase{"WithBlanksTabsAndOtherCase",
                     "  [ ceappmanager ]  \n\tVERSION\t=\t1.0 \n component =  Pennakey\t\n"
                     "[PENNAKEY]\ndescription = On-screen keyboard  \n"
                     "cabfiles =  Pennakey_ppc.cab ,\t Pennakey_hpc.cab  \n"},
        ReadableCase{"WithQuotesCommentsAndEmptyEntries",
                     "; written by hand\n[CEAppManager]\nVersion=\"1.0\"\nComponent='Pennakey'\n"
                     "[Pennakey]\n; the keyboard\nDescription=\"On-screen keyboard\"\n"
                     "CabFiles=,\"Pennakey_ppc.cab\", ,' Pennakey_hpc.cab ',\n"},
        ReadableCase{"WithTheFirstOfRepeatedKeysAndSections",
                     std::string(productFile) +
                         "[Pennakey]\nCabFiles=Other.cab\n[CEAppManager]\nComponent=Other\n"},
        ReadableCase{"WithAnUtf8MarkInFront", std::string("\xEF\xBB\xBF") + productFile},
        ReadableCase{
            "WithLinesThatAreNoPartOfIt",
            std::string(unreadLines, sizeof(unreadLines) - 1) +
                "Version=1.0\nComponent=Pennakey\n[Pennakey]\n"
                "Description=On-screen keyboard\nCabFiles=Pennakey_ppc.cab,Pennakey_hpc.cab"}),
    [](const testing::TestParamInfo<ReadableCase> &info) { return std::string(info.param.name); });

struct FaultCase {
    const char *name;
    std::string text;
    DescriptionFault fault;
};

class FaultyDescriptions : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultyDescriptions, AreTold) {
    InstallDescription description;
    EXPECT_EQ(Read(GetParam().text, description), GetParam().fault);
    EXPECT_TRUE(description.cabFiles.empty());
}

INSTANTIATE_TEST_SUITE_P(
    DescriptionFile, FaultyDescriptions,
    testing::Values(
        FaultCase{"Empty", "", DescriptionFault::noComponent},
        FaultCase{"NoManagerSection", "[Pennakey]\nCabFiles=a.cab\n",
                  DescriptionFault::noComponent},
        FaultCase{"NoComponentKey", "[CEAppManager]\nVersion=1.0\n[Pennakey]\nCabFiles=a.cab\n",
                  DescriptionFault::noComponent},
        FaultCase{"AnEmptyComponent", "[CEAppManager]\nComponent=  \n[Pennakey]\nCabFiles=a.cab\n",
                  DescriptionFault::noComponent},
        FaultCase{"AComponentKeyInAnotherSection",
                  "[Other]\nComponent=Pennakey\n[CEAppManager]\n[Pennakey]\nCabFiles=a.cab\n",
                  DescriptionFault::noComponent},
        FaultCase{"NoComponentSection", "[CEAppManager]\nComponent=Pennakey\n[Other]\nCabFiles=a\n",
                  DescriptionFault::noComponentSection},
        // A header cut short ends the section before it: its keys belong to none.
        FaultCase{"AHeaderWithoutItsBracket",
                  "[CEAppManager]\nComponent=Pennakey\n[Pennakey\nCabFiles=a.cab\n",
                  DescriptionFault::noComponentSection},
        FaultCase{"NoCabFilesKey",
                  "[CEAppManager]\nComponent=Pennakey\n[Pennakey]\nDescription=Keyboard\n",
                  DescriptionFault::noCabFiles},
        FaultCase{"AnEmptyCabFilesList",
                  "[CEAppManager]\nComponent=Pennakey\n[Pennakey]\nCabFiles= , ,\t,\n",
                  DescriptionFault::noCabFiles},
        FaultCase{"CabFilesOfQuotedBlanks",
                  "[CEAppManager]\nComponent=Pennakey\n[Pennakey]\nCabFiles=\" \"\n",
                  DescriptionFault::noCabFiles}),
    [](const testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.name); });

// What was found before the fault is kept, for the message that tells it.
TEST(DescriptionFile, AFaultKeepsWhatWasFoundBeforeIt) {
    InstallDescription description;
    description.cabFiles = {"left over.cab"};
    ASSERT_EQ(
        Read("[CEAppManager]\nComponent=Pennakey\n[Pennakey]\nDescription=Keyboard\n", description),
        DescriptionFault::noCabFiles);
    EXPECT_EQ(description.component, "Pennakey");
    EXPECT_EQ(description.description, "Keyboard");
    EXPECT_TRUE(description.cabFiles.empty()) << "nothing is kept from an earlier read";
}

} // namespace
