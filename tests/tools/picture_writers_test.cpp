// The .bmp and .ico files made from text pictures, byte by byte.
#include <gtest/gtest.h>

#include "bmp_writer.h"
#include "ico_writer.h"
#include "text_picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

uint32_t Read16(const Bytes &bytes, size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

uint32_t Read32(const Bytes &bytes, size_t at) {
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

Bytes Slice(const Bytes &bytes, size_t at, size_t count) {
    return Bytes(bytes.begin() + static_cast<long>(at),
                 bytes.begin() + static_cast<long>(at + count));
}

TextPicture Parse(const std::string &text, PictureKind kind) {
    TextPicture picture;
    PictureError error;
    EXPECT_TRUE(ParseTextPicture(text, kind, picture, error)) << error.message;
    return picture;
}

TEST(BitmapWriter, WritesHeadersPaletteAndPaddedRowsBottomUp) {
    const Bytes file = BitmapFileBytes(Parse("colour . c0c0c0\n"
                                             "colour # 000000\n"
                                             "colour r ff0000\n"
                                             "image 3 2\n"
                                             ".#r\n"
                                             "r..\n",
                                             PictureKind::Bitmap));
    const uint32_t headers = 14 + 40 + 3 * 4;
    ASSERT_EQ(file.size(), headers + 2 * 4);
    // BITMAPFILEHEADER
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Read32(file, 2), file.size());
    EXPECT_EQ(Read32(file, 6), 0u);
    EXPECT_EQ(Read32(file, 10), headers);
    // BITMAPINFOHEADER
    EXPECT_EQ(Read32(file, 14), 40u);
    EXPECT_EQ(Read32(file, 18), 3u);
    EXPECT_EQ(Read32(file, 22), 2u); // positive: bottom-up
    EXPECT_EQ(Read16(file, 26), 1u);
    EXPECT_EQ(Read16(file, 28), 4u);
    EXPECT_EQ(Read32(file, 30), 0u); // BI_RGB
    EXPECT_EQ(Read32(file, 34), 8u);
    EXPECT_EQ(Read32(file, 46), 3u); // biClrUsed
    EXPECT_EQ(Read32(file, 50), 0u);
    // RGBQUADs: blue, green, red, reserved.
    EXPECT_EQ(Slice(file, 54, 12), (Bytes{0xC0, 0xC0, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0}));
    // The bottom row first; the left pixel of each pair in the high nibble; rows padded to four.
    EXPECT_EQ(Slice(file, headers, 8), (Bytes{0x20, 0x00, 0, 0, 0x01, 0x20, 0, 0}));
}

struct RowWidth {
    int width;
    uint32_t rowBytes;
};

class BitmapRowPadding : public testing::TestWithParam<RowWidth> {};

TEST_P(BitmapRowPadding, RowsEndOnFourByteBoundaries) {
    const RowWidth &c = GetParam();
    TextPicture picture;
    picture.colours = {PictureColour{'#'}, PictureColour{'w', false, 255, 255, 255}};
    PictureImage image{c.width, 3, {}};
    for (int i = 0; i < c.width * 3; ++i) {
        image.pixels.push_back(static_cast<uint8_t>(i % 2));
    }
    picture.images = {image};
    const Bytes file = BitmapFileBytes(picture);
    const uint32_t headers = 14 + 40 + 2 * 4;
    ASSERT_EQ(file.size(), headers + 3 * c.rowBytes);
    EXPECT_EQ(Read32(file, 34), 3 * c.rowBytes);
    // Padding bytes are zero; the last pixel of an odd width leaves its low nibble zero.
    const size_t used = static_cast<size_t>(c.width + 1) / 2;
    for (size_t row = 0; row < 3; ++row) {
        for (size_t at = used; at < c.rowBytes; ++at) {
            EXPECT_EQ(file[headers + row * c.rowBytes + at], 0) << row << "," << at;
        }
        if (c.width % 2 == 1) {
            EXPECT_EQ(file[headers + row * c.rowBytes + used - 1] & 0x0F, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BitmapWriter, BitmapRowPadding,
                         testing::Values(RowWidth{1, 4}, RowWidth{7, 4}, RowWidth{8, 4},
                                         RowWidth{9, 8}, RowWidth{17, 12}, RowWidth{36, 20},
                                         RowWidth{256, 128}));

TEST(IconWriter, WritesTheDirectoryAndEachImageWithItsMask) {
    const Bytes file = IconFileBytes(Parse("colour w ffffff\n"
                                           "colour - transparent\n"
                                           "colour g 808080\n"
                                           "image 2 2\n"
                                           "w-\n"
                                           "-g\n"
                                           "image 1 1\n"
                                           "g\n",
                                           PictureKind::Icon));
    // Each image: its header, 16 colours, colour rows and mask rows of four bytes each.
    const uint32_t first = 40 + 64 + 2 * 4 + 2 * 4;
    const uint32_t second = 40 + 64 + 4 + 4;
    const uint32_t directory = 6 + 2 * 16;
    ASSERT_EQ(file.size(), directory + first + second);
    // ICONDIR
    EXPECT_EQ(Read16(file, 0), 0u);
    EXPECT_EQ(Read16(file, 2), 1u);
    EXPECT_EQ(Read16(file, 4), 2u);
    // ICONDIRENTRYs, in the text's order.
    EXPECT_EQ(Slice(file, 6, 8), (Bytes{2, 2, 16, 0, 1, 0, 4, 0}));
    EXPECT_EQ(Read32(file, 14), first);
    EXPECT_EQ(Read32(file, 18), directory);
    EXPECT_EQ(Slice(file, 22, 8), (Bytes{1, 1, 16, 0, 1, 0, 4, 0}));
    EXPECT_EQ(Read32(file, 30), second);
    EXPECT_EQ(Read32(file, 34), directory + first);

    // The first image's BITMAPINFOHEADER counts the mask in its height.
    const size_t image = directory;
    EXPECT_EQ(Read32(file, image), 40u);
    EXPECT_EQ(Read32(file, image + 4), 2u);
    EXPECT_EQ(Read32(file, image + 8), 4u);
    EXPECT_EQ(Read16(file, image + 14), 4u);
    EXPECT_EQ(Read32(file, image + 20), 16u);
    EXPECT_EQ(Read32(file, image + 32), 0u); // all 16 colours
    // The opaque colours in their order, then black to fill the 16.
    Bytes palette = {0xFF, 0xFF, 0xFF, 0, 0x80, 0x80, 0x80, 0};
    palette.resize(64, 0);
    EXPECT_EQ(Slice(file, image + 40, 64), palette);
    // Colour rows bottom-up: transparent pixels point at black (index 2).
    EXPECT_EQ(Slice(file, image + 104, 8), (Bytes{0x21, 0, 0, 0, 0x02, 0, 0, 0}));
    // Mask rows bottom-up: set where transparent, the leftmost pixel in the high bit.
    EXPECT_EQ(Slice(file, image + 112, 8), (Bytes{0x80, 0, 0, 0, 0x40, 0, 0, 0}));

    const size_t small = directory + first;
    EXPECT_EQ(Read32(file, small + 8), 2u);
    EXPECT_EQ(Slice(file, small + 104, 8), (Bytes{0x10, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(IconWriter, TransparentPixelsUseTheBlackOfThePictureWhenItHasOne) {
    std::string text = "colour - transparent\n";
    for (int i = 0; i < 16; ++i) {
        text +=
            "colour " + std::string(1, static_cast<char>('a' + i)) + " " +
            (i == 9 ? std::string("000000") : std::string("4040") + "0123456789abcdef"[i] + "0") +
            "\n";
    }
    const Bytes file = IconFileBytes(Parse(text + "image 2 1\n-a\n", PictureKind::Icon));
    ASSERT_FALSE(file.empty());
    const size_t image = 6 + 16;
    EXPECT_EQ(file[image + 104], 0x90);
    EXPECT_EQ(file[image + 108], 0x80);
}

TEST(IconWriter, SideOf256IsWrittenAsZero) {
    TextPicture picture;
    picture.colours = {PictureColour{'#'}};
    picture.images = {PictureImage{256, 256, std::vector<uint8_t>(256 * 256, 0)}};
    const Bytes file = IconFileBytes(picture);
    ASSERT_EQ(file.size(), 6 + 16 + 40 + 64 + 128 * 256 + 32 * 256u);
    EXPECT_EQ(file[6], 0);
    EXPECT_EQ(file[7], 0);
    EXPECT_EQ(Read32(file, 6 + 16 + 8), 512u);
}

TEST(PictureWriters, RefuseWhatIsNoWellFormedPicture) {
    TextPicture empty;
    EXPECT_TRUE(BitmapFileBytes(empty).empty());
    EXPECT_TRUE(IconFileBytes(empty).empty());

    TextPicture broken;
    broken.colours = {PictureColour{'#'}};
    broken.images = {PictureImage{2, 2, {0, 0, 0}}};
    EXPECT_TRUE(BitmapFileBytes(broken).empty());
    EXPECT_TRUE(IconFileBytes(broken).empty());

    TextPicture transparent;
    transparent.colours = {PictureColour{'#'}, PictureColour{'-', true}};
    transparent.images = {PictureImage{1, 1, {1}}};
    EXPECT_TRUE(BitmapFileBytes(transparent).empty());
    EXPECT_FALSE(IconFileBytes(transparent).empty());
}

} // namespace
