#include <gtest/gtest.h>

#include "engine/icon_files.h"
#include "icon_builder.h"

#include <string>
#include <vector>

namespace {

const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF, black = 0;

template <typename T> std::vector<T> Joined(std::vector<T> first, const std::vector<T> &second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// An exact-size copy, so that the sanitizer build catches any read past the end.
bool Decode(const std::string &file, IconImage &out, int width = 32, int height = 32) {
    std::vector<unsigned char> bytes(file.begin(), file.end());
    return DecodeIconFile(bytes.data(), bytes.size(), width, height, out);
}

IconPlan Plan(int32_t width, int32_t height, uint16_t bits, std::vector<uint32_t> pixels,
              std::vector<uint8_t> mask = {}, std::vector<uint32_t> palette = {}) {
    IconPlan plan;
    plan.width = width;
    plan.height = height;
    plan.bits = bits;
    plan.pixels = std::move(pixels);
    plan.mask = std::move(mask);
    plan.palette = std::move(palette);
    return plan;
}

struct Depth {
    const char *name;
    IconPlan plan;
    std::vector<uint32_t> color; // top-down
    std::vector<uint8_t> alpha;  // empty for an image without alpha
};

class IconDecoding : public testing::TestWithParam<Depth> {};

TEST_P(IconDecoding, GivesColoursMaskAndAlphaTopDown) {
    const Depth &c = GetParam();
    IconImage image;
    ASSERT_TRUE(Decode(BuildIcon({c.plan}), image));
    EXPECT_EQ(image.width, c.plan.width);
    EXPECT_EQ(image.height, c.plan.height);
    EXPECT_EQ(image.color, c.color);
    std::vector<uint8_t> mask = c.plan.mask;
    mask.resize(c.color.size(), 0);
    EXPECT_EQ(image.mask, mask);
    EXPECT_EQ(image.alpha, c.alpha);
}

INSTANTIATE_TEST_SUITE_P(
    IconFiles, IconDecoding,
    testing::Values(
        Depth{"one_bit",
              Plan(2, 2, 1, {0, 1, 1, 0}, {0, 1, 1, 0}, {black, white}),
              {black, white, white, black},
              {}},
        // Rows of 33 pixels need two words of mask bits each.
        Depth{"one_bit_wide",
              Plan(33, 1, 1, Joined(std::vector<uint32_t>(32, 0), {1}),
                   Joined(std::vector<uint8_t>(32, 0), {1}), {red, blue}),
              Joined(std::vector<uint32_t>(32, red), {blue}),
              {}},
        Depth{"four_bit",
              Plan(3, 1, 4, {1, 2, 3}, {1, 0, 1}, {black, red, green, blue}),
              {red, green, blue},
              {}},
        // An index past the palette shows black.
        Depth{"eight_bit_short_palette",
              Plan(2, 2, 8, {1, 0, 9, 1}, {}, {red, blue}),
              {blue, red, black, blue},
              {}},
        Depth{"twenty_four_bit",
              Plan(2, 2, 24, {red, green, blue, 0x123456}, {0, 0, 0, 1}),
              {red, green, blue, 0x123456},
              {}},
        Depth{"thirty_two_bit_alpha",
              Plan(2, 2, 32, {0xFF000000 | red, 0x80000000 | green, 0, 0x01000000 | white},
                   {0, 0, 1, 0}),
              {red, green, black, white},
              {255, 128, 0, 1}},
        // Alpha bytes all 0: the image is an old one, with its mask.
        Depth{
            "thirty_two_bit_without_alpha", Plan(2, 1, 32, {red, blue}, {1, 0}), {red, blue}, {}}),
    [](const testing::TestParamInfo<Depth> &info) { return std::string(info.param.name); });

struct Nearest {
    int width;
    int height;
    int expected; // index in the directory below
};

class IconChoice : public testing::TestWithParam<Nearest> {};

TEST_P(IconChoice, TakesTheNearestThenTheLargerThenTheDeeper) {
    const std::string file =
        BuildIcon({Plan(16, 16, 4, std::vector<uint32_t>(256, 0), {}, {black}),
                   Plan(32, 32, 8, std::vector<uint32_t>(1024, 0), {}, {black}),
                   Plan(32, 32, 32, std::vector<uint32_t>(1024, 0)),
                   Plan(48, 48, 24, std::vector<uint32_t>(2304, 0))});
    const std::vector<unsigned char> bytes(file.begin(), file.end());
    std::vector<IconDirectoryEntry> entries;
    ASSERT_TRUE(ReadIconDirectory(bytes.data(), bytes.size(), entries));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(NearestIconEntry(entries, GetParam().width, GetParam().height), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(IconFiles, IconChoice,
                         testing::Values(Nearest{16, 16, 0}, Nearest{1, 1, 0}, Nearest{32, 32, 2},
                                         Nearest{24, 24, 2}, Nearest{40, 40, 3},
                                         Nearest{1000, 1000, 3}, Nearest{16, 20, 0}));

TEST(IconFiles, PngImagesAreLeftAside) {
    IconPlan png;
    png.width = 32;
    png.height = 32;
    png.bits = 32;
    png.raw = std::string("\x89PNG\r\n\x1A\n", 8) + std::string(40, '\0');
    const std::string file = BuildIcon({png, Plan(16, 16, 24, std::vector<uint32_t>(256, red))});
    const std::vector<unsigned char> bytes(file.begin(), file.end());
    std::vector<IconDirectoryEntry> entries;
    ASSERT_TRUE(ReadIconDirectory(bytes.data(), bytes.size(), entries));
    EXPECT_TRUE(entries[0].png);
    EXPECT_FALSE(entries[1].png);
    EXPECT_EQ(NearestIconEntry(entries, 32, 32), 1);
    IconImage image;
    EXPECT_FALSE(DecodeIconImage(bytes.data(), bytes.size(), entries[0], image));
    ASSERT_TRUE(Decode(file, image));
    EXPECT_EQ(image.width, 16);
    // Nothing but PNG images: nothing to decode.
    EXPECT_FALSE(Decode(BuildIcon({png}), image));
}

TEST(IconFiles, DepthComesFromTheImageWhenTheDirectoryLeavesItOut) {
    std::string file = BuildIcon({Plan(1, 1, 8, {0}, {}, {red})});
    file[12] = 0; // the entry's bit count
    const std::vector<unsigned char> bytes(file.begin(), file.end());
    std::vector<IconDirectoryEntry> entries;
    ASSERT_TRUE(ReadIconDirectory(bytes.data(), bytes.size(), entries));
    EXPECT_EQ(entries[0].bits, 8u);
}

TEST(IconFiles, ScalingTakesThePixelUnderEachCentre) {
    IconImage image;
    ASSERT_TRUE(Decode(
        BuildIcon({Plan(
            2, 2, 32, {0xFF000000 | red, 0x80000000 | green, 0x40000000 | blue, 0x20000000 | white},
            {0, 1, 0, 1})}),
        image));
    const IconImage larger = ScaleIconImage(image, 4, 2);
    EXPECT_EQ(larger.color,
              (std::vector<uint32_t>{red, red, green, green, blue, blue, white, white}));
    EXPECT_EQ(larger.mask, (std::vector<uint8_t>{0, 0, 1, 1, 0, 0, 1, 1}));
    EXPECT_EQ(larger.alpha, (std::vector<uint8_t>{255, 255, 128, 128, 64, 64, 32, 32}));
    const IconImage smaller = ScaleIconImage(larger, 1, 1);
    EXPECT_EQ(smaller.color, (std::vector<uint32_t>{white}));
    const IconImage same = ScaleIconImage(image, 2, 2);
    EXPECT_EQ(same.color, image.color);
}

struct Damage {
    const char *name;
    std::string file;
};

class IconRejection : public testing::TestWithParam<Damage> {};

TEST_P(IconRejection, IsRefused) {
    IconImage image;
    EXPECT_FALSE(Decode(GetParam().file, image));
}

// One 2 x 2 24-bit image: the directory entry at 6, the image header at 22.
std::string Valid() {
    return BuildIcon({Plan(2, 2, 24, {red, green, blue, white}, {1, 0, 0, 1})});
}

std::string Patched(std::string file, size_t offset, uint32_t value, int bytes = 4) {
    std::string patch;
    Put(patch, value, bytes);
    file.replace(offset, static_cast<size_t>(bytes), patch);
    return file;
}

IconPlan Damaged(uint16_t bits, int32_t headerHeight, uint16_t planes, uint32_t compression) {
    IconPlan plan = Plan(2, 2, bits, {0, 0, 0, 0}, {},
                         bits <= 8 ? std::vector<uint32_t>{red} : std::vector<uint32_t>{});
    plan.headerHeight = headerHeight;
    plan.planes = planes;
    plan.compression = compression;
    return plan;
}

INSTANTIATE_TEST_SUITE_P(
    IconFiles, IconRejection,
    testing::Values(
        Damage{"empty", ""}, Damage{"header_only", std::string("\0\0\1\0", 4)},
        Damage{"no_images", std::string("\0\0\1\0\0\0", 6)},
        Damage{"reserved_set", Patched(Valid(), 0, 1, 2)},
        Damage{"cursor", Patched(Valid(), 2, 2, 2)},
        Damage{"more_images_than_the_directory_holds", Patched(Valid(), 4, 3, 2)},
        Damage{"zero_size", Patched(Valid(), 14, 0)},
        Damage{"huge_size", Patched(Valid(), 14, 0xFFFFFFFFu)},
        Damage{"one_byte_past_the_end",
               Patched(Valid(), 14, static_cast<uint32_t>(Valid().size() - 22 + 1))},
        Damage{"offset_past_the_end", Patched(Valid(), 18, 100000)},
        Damage{"huge_offset", Patched(Valid(), 18, 0xFFFFFFF0u)},
        Damage{"offset_into_the_directory", Patched(Valid(), 18, 4)},
        // The size claims less than the pixels need; the bytes after it are not the image's.
        Damage{"size_short_of_the_mask",
               Patched(Valid(), 14, static_cast<uint32_t>(Valid().size() - 22 - 1))},
        Damage{"core_header", Patched(Valid(), 22, 12)},
        Damage{"unknown_header_size", Patched(Valid(), 22, 64)},
        Damage{"zero_width", Patched(Valid(), 26, 0)},
        Damage{"negative_width", Patched(Valid(), 26, static_cast<uint32_t>(-2))},
        Damage{"too_wide", Patched(Valid(), 26, 257)},
        Damage{"odd_height", Patched(Valid(), 30, 3)},
        Damage{"zero_height", Patched(Valid(), 30, 0)},
        Damage{"negative_height", Patched(Valid(), 30, static_cast<uint32_t>(-4))},
        Damage{"too_tall", Patched(Valid(), 30, 2 * 257)},
        Damage{"two_planes", BuildIcon({Damaged(24, 0, 2, 0)})},
        Damage{"sixteen_bits", BuildIcon({Damaged(16, 0, 1, 0)})},
        Damage{"two_bits", BuildIcon({Damaged(2, 0, 1, 0)})},
        Damage{"run_length", BuildIcon({Damaged(8, 0, 1, 1)})},
        Damage{"bit_fields", BuildIcon({Damaged(32, 0, 1, 3)})}),
    [](const testing::TestParamInfo<Damage> &info) { return std::string(info.param.name); });

class IconTruncation : public testing::TestWithParam<std::string> {};

TEST_P(IconTruncation, EveryShorterPrefixIsRefused) {
    const std::string file = GetParam();
    IconImage image;
    ASSERT_TRUE(Decode(file, image));
    for (size_t size = 0; size < file.size(); ++size) {
        EXPECT_FALSE(Decode(file.substr(0, size), image)) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(
    IconFiles, IconTruncation,
    testing::Values(
        Valid(), BuildIcon({Plan(9, 2, 1, std::vector<uint32_t>(18, 1), {}, {black, white})}),
        BuildIcon({Plan(3, 3, 4, std::vector<uint32_t>(9, 2), {}, {black, red, green})}),
        BuildIcon({Plan(2, 1, 32, {0xFF000000, 0x80FFFFFF})})));

TEST(IconFiles, ADamagedEntryAnywhereRefusesTheDirectory) {
    std::string file = BuildIcon({Plan(1, 1, 24, {red}), Plan(2, 2, 24, {red, red, red, red})});
    file = Patched(file, 6 + 16 + 12, 0xFFFF0000u); // the second entry's offset
    const std::vector<unsigned char> bytes(file.begin(), file.end());
    std::vector<IconDirectoryEntry> entries;
    EXPECT_FALSE(ReadIconDirectory(bytes.data(), bytes.size(), entries));
    EXPECT_FALSE(ReadIconDirectory(nullptr, 100, entries));
}

TEST(IconFiles, AnEntryFromElsewhereIsCheckedAgainstTheFile) {
    const std::string file = Valid();
    const std::vector<unsigned char> bytes(file.begin(), file.end());
    IconDirectoryEntry entry;
    entry.offset = 22;
    entry.size = bytes.size(); // reaches past the end
    IconImage image;
    EXPECT_FALSE(DecodeIconImage(bytes.data(), bytes.size(), entry, image));
    entry.size = bytes.size() - 22;
    EXPECT_TRUE(DecodeIconImage(bytes.data(), bytes.size(), entry, image));
    EXPECT_FALSE(DecodeIconImage(nullptr, bytes.size(), entry, image));
}

} // namespace
