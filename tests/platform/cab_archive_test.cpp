// Cabinet files: what is written reads back member for member, and an independent reader
// (cabextract) finds the same members with the same bytes.
#include <gtest/gtest.h>

#include "install/cab_archive.h"
#include "temp_folder.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::vector<CabMember> SampleMembers() {
    std::vector<CabMember> members = {{"PENNAKEY.000", {'M', 'S', 'C', 'E'}},
                                      {"PENNAKEY.999", {}},
                                      {"PENNAKEY.002", std::vector<uint8_t>(70000)},
                                      {"PENNAKEY.001", {0, 1, 2, 255}}};
    for (size_t i = 0; i < members[2].bytes.size(); ++i) {
        members[2].bytes[i] = static_cast<uint8_t>(i * 7);
    }
    return members;
}

TEST(CabArchive, WhatIsWrittenReadsBackInOrder) {
    TempFolder folder;
    const std::vector<CabMember> written = SampleMembers();
    std::string error;
    ASSERT_TRUE(WriteCabinet(folder.Join("package.cab"), written, error)) << error;
    std::vector<CabMember> read;
    ASSERT_TRUE(ReadCabinet(folder.Join("package.cab"), read, error)) << error;
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_EQ(read[i].bytes, written[i].bytes) << written[i].name;
    }
}

TEST(CabArchive, CabextractFindsTheSameMembers) {
    TempFolder folder;
    std::string error;
    ASSERT_TRUE(WriteCabinet(folder.Join("package.cab"), SampleMembers(), error)) << error;
    const std::string command = "timeout 60 cabextract -q -d '" + folder.Join("out") + "' '" +
                                folder.Join("package.cab") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const CabMember &member : SampleMembers()) {
        const std::string bytes = folder.Read("out/" + member.name);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), member.bytes) << member.name;
    }
}

TEST(CabArchive, ADamagedCabinetIsRefused) {
    TempFolder folder;
    std::string error;
    std::vector<CabMember> read;
    folder.Write("text.cab", "this is no cabinet at all");
    EXPECT_FALSE(ReadCabinet(folder.Join("text.cab"), read, error));
    EXPECT_FALSE(ReadCabinet(folder.Join("missing.cab"), read, error));
    ASSERT_TRUE(WriteCabinet(folder.Join("whole.cab"), SampleMembers(), error)) << error;
    const std::string whole = folder.Read("whole.cab");
    folder.Write("cut.cab", whole.substr(0, whole.size() - 100));
    EXPECT_FALSE(ReadCabinet(folder.Join("cut.cab"), read, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
