#include <gtest/gtest.h>

#include "bitmap_builder.h"
#include "gdi/bitmap_files.h"
#include "gdi/gdi_objects.h"

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

bool Decode(const std::string &file, DecodedBitmap &out) {
    // An exact-size copy, so that the sanitizer build catches any read past the end.
    std::vector<unsigned char> bytes(file.begin(), file.end());
    return DecodeBitmapFile(bytes.data(), bytes.size(), out);
}

struct Decoding {
    const char *name;
    BitmapSpec spec;
    int width;
    int height;
    std::vector<uint32_t> pixels; // top-down
};

class BitmapDecoding : public testing::TestWithParam<Decoding> {};

TEST_P(BitmapDecoding, GivesTopDownPixels) {
    const Decoding &c = GetParam();
    DecodedBitmap bitmap;
    ASSERT_TRUE(Decode(BuildBitmap(c.spec), bitmap));
    EXPECT_EQ(bitmap.width, c.width);
    EXPECT_EQ(bitmap.height, c.height);
    EXPECT_EQ(bitmap.pixels, c.pixels);
}

BitmapSpec Spec(int32_t width, int32_t height, uint16_t bits,
                std::vector<std::vector<uint8_t>> rows, std::vector<uint32_t> palette = {},
                uint32_t headerSize = 40, uint32_t compression = 0,
                std::vector<uint32_t> masks = {}) {
    BitmapSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = bits;
    spec.rows = std::move(rows);
    spec.palette = std::move(palette);
    spec.headerSize = headerSize;
    spec.compression = compression;
    spec.masks = std::move(masks);
    return spec;
}

const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF, black = 0;

INSTANTIATE_TEST_SUITE_P(
    BitmapFiles, BitmapDecoding,
    testing::Values(
        // Nine pixels need two bytes a row; the bottom row comes first in the file.
        Decoding{"mono_bottom_up",
                 Spec(9, 2, 1, {{0x80, 0x80}, {0x7F, 0x00}}, {black, white}),
                 9,
                 2,
                 {black, white, white, white, white, white, white, white, black, white, black,
                  black, black, black, black, black, black, white}},
        Decoding{"four_bit",
                 Spec(3, 1, 4, {{0x12, 0x00}}, {black, red, green}),
                 3,
                 1,
                 {red, green, black}},
        // An index past the palette shows black.
        Decoding{"eight_bit_short_palette",
                 Spec(3, 1, 8, {{1, 0, 9}}, {blue, red}),
                 3,
                 1,
                 {red, blue, black}},
        Decoding{"rgb_top_down",
                 Spec(3, -2, 24, {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9}}),
                 3,
                 2,
                 {red, green, blue, 0x030201, 0x060504, 0x090807}},
        Decoding{"rgb_bottom_up", Spec(1, 2, 24, {{255, 0, 0}, {0, 0, 255}}), 1, 2, {red, blue}},
        // The fourth byte of a 32-bit pixel is not colour.
        Decoding{"rgbx",
                 Spec(2, 1, 32, {{0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0x80}}),
                 2,
                 1,
                 {0x332211, 0x665544}},
        Decoding{"five_five_five", Spec(2, 1, 16, {{0x00, 0x7C, 0xFF, 0x7F}}), 2, 1, {red, white}},
        Decoding{"five_six_five",
                 Spec(2, 1, 16, {{0x00, 0xF8, 0xE0, 0x07}}, {}, 40, 3, {0xF800, 0x07E0, 0x001F}),
                 2,
                 1,
                 {red, green}},
        Decoding{"bit_fields_v5",
                 Spec(1, 1, 32, {{0x00, 0x00, 0xFF, 0x00}}, {}, 124, 3,
                      {0x000000FF, 0x0000FF00, 0x00FF0000}),
                 1,
                 1,
                 {blue}},
        Decoding{"core_header", Spec(2, 1, 8, {{1, 0}}, {green, red}, 12), 2, 1, {red, green}},
        Decoding{"v4_header", Spec(1, 1, 24, {{0, 255, 0}}, {}, 108), 1, 1, {green}}),
    [](const testing::TestParamInfo<Decoding> &info) { return std::string(info.param.name); });

struct Malformed {
    const char *name;
    std::string file;
};

class BitmapRejection : public testing::TestWithParam<Malformed> {};

TEST_P(BitmapRejection, IsRefused) {
    DecodedBitmap bitmap;
    EXPECT_FALSE(Decode(GetParam().file, bitmap));
}

std::string Valid() {
    return BuildBitmap(Spec(2, 2, 24, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}));
}

std::string Patched(std::string file, size_t offset, uint32_t value, int bytes = 4) {
    std::string patch;
    Put(patch, value, bytes);
    file.replace(offset, static_cast<size_t>(bytes), patch);
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    BitmapFiles, BitmapRejection,
    testing::Values(
        Malformed{"empty", ""}, Malformed{"magic_only", "BM"},
        Malformed{"wrong_magic", Patched(Valid(), 0, 'P' | ('K' << 8), 2)},
        Malformed{"unknown_header_size", Patched(Valid(), 14, 64)},
        Malformed{"zero_width", Patched(Valid(), 18, 0)},
        Malformed{"negative_width", Patched(Valid(), 18, static_cast<uint32_t>(-2))},
        Malformed{"zero_height", Patched(Valid(), 22, 0)},
        Malformed{"too_wide", Patched(Valid(), 18, 4097)},
        Malformed{"too_tall_top_down", Patched(Valid(), 22, static_cast<uint32_t>(-4097))},
        Malformed{"most_negative_height", Patched(Valid(), 22, 0x80000000u)},
        Malformed{"two_planes", Patched(Valid(), 26, 2, 2)},
        Malformed{"two_bits", Patched(Valid(), 28, 2, 2)},
        Malformed{"run_length", BuildBitmap(Spec(2, 1, 8, {{0, 0}}, {black}, 40, 1))},
        Malformed{"bit_fields_for_24", Patched(Valid(), 30, 3)},
        Malformed{"pixels_past_end", Patched(Valid(), 10, 1000)},
        Malformed{"zero_mask", BuildBitmap(Spec(1, 1, 16, {{0, 0}}, {}, 40, 3, {0xF800, 0, 0x1F}))},
        Malformed{"split_mask",
                  BuildBitmap(Spec(1, 1, 16, {{0, 0}}, {}, 40, 3, {0xF801, 0x07E0, 0x1E}))},
        Malformed{"huge_core", BuildBitmap(Spec(5000, 1, 24, {{0}}, {}, 12))}),
    [](const testing::TestParamInfo<Malformed> &info) { return std::string(info.param.name); });

class BitmapTruncation : public testing::TestWithParam<std::string> {};

TEST_P(BitmapTruncation, EveryShorterPrefixIsRefused) {
    const std::string file = GetParam();
    DecodedBitmap bitmap;
    ASSERT_TRUE(Decode(file, bitmap));
    for (size_t size = 0; size < file.size(); ++size) {
        EXPECT_FALSE(Decode(file.substr(0, size), bitmap)) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(
    BitmapFiles, BitmapTruncation,
    testing::Values(Valid(), BuildBitmap(Spec(9, 2, 1, {{1, 2}, {3, 4}}, {black, white})),
                    BuildBitmap(Spec(2, 1, 8, {{1, 0}}, {green, red}, 12)),
                    BuildBitmap(Spec(2, 1, 16, {{0, 0xF8, 0xE0, 7}}, {}, 40, 3,
                                     {0xF800, 0x07E0, 0x001F}))));

std::string DataFile(const char *name) {
    return std::string(PLATFORM_TEST_DATA) + "/" + name;
}

struct SeedFile {
    const char *name;
    int width;
    int height;
    uint32_t topLeft;
    uint32_t bottomRight;
};

class BitmapLoading : public testing::TestWithParam<SeedFile> {};

TEST_P(BitmapLoading, LoadsIntoAGdiBitmap) {
    const SeedFile &c = GetParam();
    HANDLE image =
        LoadImageA(nullptr, DataFile(c.name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(image, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectA(image, sizeof(info), &info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    const auto bitmap = FindGdiObjectAs<BitmapObject>(image);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixels.front(), c.topLeft);
    EXPECT_EQ(bitmap->pixels.back(), c.bottomRight);
    EXPECT_TRUE(DeleteObject(image));
}

INSTANTIATE_TEST_SUITE_P(BitmapFiles, BitmapLoading,
                         testing::Values(SeedFile{"palette_8bit_bottom_up.bmp", 4, 3, red, blue},
                                         SeedFile{"rgb_24bit_top_down.bmp", 3, 2, red, blue},
                                         SeedFile{"mono_1bit_core_header.bmp", 10, 2, black, white},
                                         SeedFile{"bitfields_16bit_565.bmp", 2, 2, red, blue}));

TEST(BitmapFiles, LoadImageRefusesWhatItCannotDo) {
    const std::string seed = DataFile("rgb_24bit_top_down.bmp");
    EXPECT_EQ(LoadImageA(nullptr, seed.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, seed.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, seed.c_str(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(
        LoadImageA(nullptr, DataFile("missing.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
        nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // The data folder is not a bitmap.
    EXPECT_EQ(LoadImageA(nullptr, PLATFORM_TEST_DATA, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    HANDLE sized = LoadImageA(nullptr, seed.c_str(), IMAGE_BITMAP, 3, 2, LR_LOADFROMFILE);
    EXPECT_NE(sized, nullptr);
    DeleteObject(sized);
}

TEST(BitmapFiles, WideNameLoads) {
    const std::string seed = DataFile("rgb_24bit_top_down.bmp");
    const std::u16string wide(seed.begin(), seed.end());
    HANDLE image = LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(DeleteObject(image));
}

} // namespace
