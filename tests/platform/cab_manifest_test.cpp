// The cabinet manifest: what is written reads back the same, the bytes sit where the format puts
// them, and a damaged manifest is refused with its reason, never read past its end.
#include <gtest/gtest.h>

#include "install/cab_manifest.h"

namespace {

CabManifest ProductManifest() {
    CabManifest manifest;
    manifest.processor = 2577;
    manifest.minimumMajor = 3;
    manifest.maximumMajor = 5;
    manifest.maximumMinor = 2;
    manifest.appName = "Pennakey";
    manifest.provider = "Quorvale2";
    manifest.unsupported = {"HPC", "Jupiter"};
    manifest.strings = {{1, "%InstallDir%"}, {2, "%CE11%"}, {3, "Software"}, {4, "Pennakey"}};
    manifest.directories = {{1, {1}}, {2, {2}}};
    manifest.files = {{1, 1, 1, manifestFileAlwaysOverwrite, "pennakbd.exe"},
                      {2, 1, 2, manifestFileNeverOverwrite, "layodex.dll"}};
    manifest.hives = {{1, 2, {3, 4}}};
    manifest.values = {
        {1, 1, 1, manifestValueString, "Folder", std::string("%InstallDir%\0", 13)},
        {2, 1, 0, manifestValueDword | manifestValueNoClobber, "", std::string("\x01\0\0\0", 4)}};
    manifest.links = {{1, 11, 1, 1, {4}}};
    return manifest;
}

void ExpectSame(const CabManifest &a, const CabManifest &b) {
    EXPECT_EQ(a.processor, b.processor);
    EXPECT_EQ(a.minimumMajor, b.minimumMajor);
    EXPECT_EQ(a.maximumMajor, b.maximumMajor);
    EXPECT_EQ(a.maximumMinor, b.maximumMinor);
    EXPECT_EQ(a.appName, b.appName);
    EXPECT_EQ(a.provider, b.provider);
    EXPECT_EQ(a.unsupported, b.unsupported);
    ASSERT_EQ(a.strings.size(), b.strings.size());
    for (size_t i = 0; i < a.strings.size(); ++i) {
        EXPECT_EQ(a.strings[i].id, b.strings[i].id);
        EXPECT_EQ(a.strings[i].text, b.strings[i].text);
    }
    ASSERT_EQ(a.directories.size(), b.directories.size());
    for (size_t i = 0; i < a.directories.size(); ++i) {
        EXPECT_EQ(a.directories[i].stringIds, b.directories[i].stringIds);
    }
    ASSERT_EQ(a.files.size(), b.files.size());
    for (size_t i = 0; i < a.files.size(); ++i) {
        EXPECT_EQ(a.files[i].number, b.files[i].number);
        EXPECT_EQ(a.files[i].flags, b.files[i].flags);
        EXPECT_EQ(a.files[i].name, b.files[i].name);
    }
    ASSERT_EQ(a.values.size(), b.values.size());
    for (size_t i = 0; i < a.values.size(); ++i) {
        EXPECT_EQ(a.values[i].name, b.values[i].name);
        EXPECT_EQ(a.values[i].data, b.values[i].data);
        EXPECT_EQ(a.values[i].typeAndFlags, b.values[i].typeAndFlags);
        EXPECT_EQ(a.values[i].substitute, b.values[i].substitute);
    }
    ASSERT_EQ(a.hives.size(), b.hives.size());
    ASSERT_EQ(a.links.size(), b.links.size());
    for (size_t i = 0; i < a.links.size(); ++i) {
        EXPECT_EQ(a.links[i].baseDirectory, b.links[i].baseDirectory);
        EXPECT_EQ(a.links[i].targetId, b.links[i].targetId);
        EXPECT_EQ(a.links[i].targetKind, b.links[i].targetKind);
        EXPECT_EQ(a.links[i].stringIds, b.links[i].stringIds);
    }
}

uint32_t U32At(const std::vector<uint8_t> &bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | (uint32_t)bytes[at + 3] << 24;
}

void PutU32(std::vector<uint8_t> &bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

TEST(CabManifest, WhatIsWrittenReadsBackTheSame) {
    const CabManifest written = ProductManifest();
    const std::vector<uint8_t> bytes = WriteCabManifest(written);
    CabManifest read;
    std::string problem;
    ASSERT_TRUE(ReadCabManifest(bytes.data(), bytes.size(), read, problem)) << problem;
    ExpectSame(written, read);

    // Where the format puts things: signature, length, counts, the application name.
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MSCE");
    EXPECT_EQ(U32At(bytes, 8), bytes.size());
    EXPECT_EQ(U32At(bytes, 16), 1u);
    EXPECT_EQ(U32At(bytes, 20), 2577u);
    EXPECT_EQ(bytes[48], 4); // strings
    EXPECT_EQ(bytes[52], 2); // files
    const size_t appName = bytes[84] | bytes[85] << 8;
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&bytes[appName])), "Pennakey");
    EXPECT_EQ(bytes[86], 9); // with its NUL
}

TEST(CabManifest, AnEmptyManifestHasNoNamesAndNoEntries) {
    const std::vector<uint8_t> bytes = WriteCabManifest(CabManifest{});
    CabManifest read;
    std::string problem;
    ASSERT_TRUE(ReadCabManifest(bytes.data(), bytes.size(), read, problem)) << problem;
    EXPECT_TRUE(read.appName.empty());
    EXPECT_TRUE(read.unsupported.empty());
    EXPECT_TRUE(read.files.empty());
}

// Every manifest cut short is refused: the header's length no longer fits the member. Bytes
// past that length are not the manifest's and change nothing.
TEST(CabManifest, AManifestCutShortIsRefusedAndTrailingBytesIgnored) {
    std::vector<uint8_t> bytes = WriteCabManifest(ProductManifest());
    CabManifest read;
    std::string problem;
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(ReadCabManifest(bytes.data(), size, read, problem)) << size;
    }
    bytes.resize(bytes.size() + 7, 0xEE);
    ASSERT_TRUE(ReadCabManifest(bytes.data(), bytes.size(), read, problem)) << problem;
    EXPECT_EQ(read.files.size(), 2u);
}

TEST(CabManifest, DamageIsRefusedWithItsReason) {
    const std::vector<uint8_t> good = WriteCabManifest(ProductManifest());
    struct Damage {
        const char *what;
        void (*apply)(std::vector<uint8_t> &);
        const char *problem;
    } damages[] = {
        {"signature", [](std::vector<uint8_t> &b) { b[0] = 'X'; }, "no manifest signature"},
        {"length past the member", [](std::vector<uint8_t> &b) { PutU32(b, 8, U32At(b, 8) + 1); },
         "manifest length outside the member"},
        {"length inside the header", [](std::vector<uint8_t> &b) { PutU32(b, 8, 99); },
         "manifest length outside the member"},
        {"files offset past the end", [](std::vector<uint8_t> &b) { PutU32(b, 68, U32At(b, 8)); },
         "an entry outside the manifest"},
        {"one string too many", [](std::vector<uint8_t> &b) { b[48] = 200; },
         "an entry outside the manifest"},
        {"application name past the end",
         [](std::vector<uint8_t> &b) {
             b[84] = 0xF0;
             b[85] = 0xFF;
         },
         "a name outside the manifest"},
        {"value without the end of its name",
         [](std::vector<uint8_t> &b) {
             // The last value's length cut to its name's first letter.
             const size_t values = U32At(b, 76);
             const size_t second = values + 12 + (b[values + 10] | b[values + 11] << 8);
             b[second + 10] = 0;
             b[second + 11] = 0;
         },
         "an entry outside the manifest"},
    };
    for (const Damage &damage : damages) {
        std::vector<uint8_t> bytes = good;
        damage.apply(bytes);
        CabManifest read;
        std::string problem;
        EXPECT_FALSE(ReadCabManifest(bytes.data(), bytes.size(), read, problem)) << damage.what;
        EXPECT_EQ(problem, damage.problem) << damage.what;
    }
}

// A length that lands exactly on the manifest's end is inside it.
TEST(CabManifest, AnEntryEndingExactlyAtTheEndIsRead) {
    CabManifest manifest;
    manifest.links = {{1, 0, 0, 0, {7, 8}}};
    std::vector<uint8_t> bytes = WriteCabManifest(manifest);
    CabManifest read;
    std::string problem;
    ASSERT_TRUE(ReadCabManifest(bytes.data(), bytes.size(), read, problem)) << problem;
    ASSERT_EQ(read.links.size(), 1u);
    EXPECT_EQ(read.links[0].stringIds, (std::vector<uint16_t>{7, 8}));
    // One byte less and the link's ids no longer fit.
    PutU32(bytes, 8, U32At(bytes, 8) - 1);
    EXPECT_FALSE(ReadCabManifest(bytes.data(), bytes.size(), read, problem));
}

} // namespace
