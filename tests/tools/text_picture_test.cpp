// The text picture parser: what it makes of good text, and the line it blames in bad text.
#include <gtest/gtest.h>

#include "text_picture.h"

#include <string>
#include <vector>

namespace {

TextPicture Parsed(const std::string &text, PictureKind kind = PictureKind::Bitmap) {
    TextPicture picture;
    PictureError error;
    EXPECT_TRUE(ParseTextPicture(text, kind, picture, error))
        << "line " << error.line << ": " << error.message;
    return picture;
}

TEST(TextPicture, ReadsColoursInOrderAndRowsTopDown) {
    const TextPicture picture = Parsed("; two colours\n"
                                       "colour . c0c0c0\n"
                                       "colour # 0A1b2C\n"
                                       "\n"
                                       "image 3 2\n"
                                       ".#.\n"
                                       "##.\n");
    ASSERT_EQ(picture.colours.size(), 2u);
    EXPECT_EQ(picture.colours[0].symbol, '.');
    EXPECT_EQ(picture.colours[0].red, 0xC0);
    EXPECT_EQ(picture.colours[0].green, 0xC0);
    EXPECT_EQ(picture.colours[0].blue, 0xC0);
    EXPECT_FALSE(picture.colours[0].transparent);
    EXPECT_EQ(picture.colours[1].symbol, '#');
    EXPECT_EQ(picture.colours[1].red, 0x0A);
    EXPECT_EQ(picture.colours[1].green, 0x1B);
    EXPECT_EQ(picture.colours[1].blue, 0x2C);
    ASSERT_EQ(picture.images.size(), 1u);
    EXPECT_EQ(picture.images[0].width, 3);
    EXPECT_EQ(picture.images[0].height, 2);
    EXPECT_EQ(picture.images[0].pixels, (std::vector<uint8_t>{0, 1, 0, 1, 1, 0}));
}

TEST(TextPicture, SkipsCommentsBlankLinesCarriageReturnsAndTrailingBlanks) {
    const TextPicture picture = Parsed("colour\t. ffffff  \r\n"
                                       "colour  x 000000\r\n"
                                       "image  2\t1 \r\n"
                                       "; between the image line and its rows\r\n"
                                       "   \r\n"
                                       ".x \t\r\n"
                                       "; after the last row");
    ASSERT_EQ(picture.images.size(), 1u);
    EXPECT_EQ(picture.images[0].pixels, (std::vector<uint8_t>{0, 1}));
}

TEST(TextPicture, IconHasImagesOfSeveralSizesAndATransparentColour) {
    const TextPicture picture = Parsed("colour - transparent\n"
                                       "colour w ffffff\n"
                                       "image 1 1\n"
                                       "w\n"
                                       "image 2 2\n"
                                       "-w\n"
                                       "w-\n",
                                       PictureKind::Icon);
    ASSERT_EQ(picture.colours.size(), 2u);
    EXPECT_TRUE(picture.colours[0].transparent);
    ASSERT_EQ(picture.images.size(), 2u);
    EXPECT_EQ(picture.images[0].pixels, (std::vector<uint8_t>{1}));
    EXPECT_EQ(picture.images[1].width, 2);
    EXPECT_EQ(picture.images[1].pixels, (std::vector<uint8_t>{0, 1, 1, 0}));
}

TEST(TextPicture, TakesTheLargestSizeAndSixteenColours) {
    std::string text;
    const std::string symbols = "0123456789abcdef";
    for (char symbol : symbols) {
        text += std::string("colour ") + symbol + " 00000" + symbol + "\n";
    }
    text += "image 256 256\n";
    for (int y = 0; y < 256; ++y) {
        text += std::string(256, symbols[y % 16]) + "\n";
    }
    const TextPicture picture = Parsed(text);
    ASSERT_EQ(picture.colours.size(), 16u);
    ASSERT_EQ(picture.images.size(), 1u);
    EXPECT_EQ(picture.images[0].pixels.size(), 256u * 256u);
    EXPECT_EQ(picture.images[0].pixels.back(), 15);
}

struct BadText {
    const char *name;
    PictureKind kind;
    std::string text;
    size_t line;
    const char *message; // a part of the message
};

class TextPictureErrors : public testing::TestWithParam<BadText> {};

TEST_P(TextPictureErrors, NameTheLineAndLeaveThePictureEmpty) {
    const BadText &c = GetParam();
    TextPicture picture;
    picture.colours.resize(1);
    PictureError error;
    EXPECT_FALSE(ParseTextPicture(c.text, c.kind, picture, error));
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
    EXPECT_TRUE(picture.colours.empty());
    EXPECT_TRUE(picture.images.empty());
}

const std::string grey = "colour . c0c0c0\n";
const std::string greyAndBlack = "colour . c0c0c0\ncolour # 000000\n";

std::string SeventeenColours() {
    std::string text;
    for (int i = 0; i < 17; ++i) {
        text += "colour " + std::string(1, static_cast<char>('a' + i)) + " 123456\n";
    }
    return text;
}

std::string SixteenOneByOneImages() {
    std::string text = grey;
    for (int i = 1; i <= 17; ++i) {
        text += "image " + std::to_string(i) + " 1\n" + std::string(i, '.') + "\n";
    }
    return text;
}

std::string SixteenGreysAndTransparent() {
    std::string text = "colour - transparent\n";
    for (int i = 0; i < 16; ++i) {
        text += "colour " + std::string(1, static_cast<char>('a' + i)) + " 1010" +
                std::string(1, "0123456789abcdef"[i]) + "0\n";
    }
    return text + "image 1 1\na\n";
}

INSTANTIATE_TEST_SUITE_P(
    TextPicture, TextPictureErrors,
    testing::Values(
        BadText{"empty", PictureKind::Bitmap, "", 0, "no image"},
        BadText{"only_comments", PictureKind::Bitmap, "; nothing\n\n", 0, "no image"},
        BadText{"colours_without_image", PictureKind::Bitmap, greyAndBlack, 0, "no image"},
        BadText{"rows_without_header", PictureKind::Bitmap, "....\n....\n", 1,
                "pixel rows before any 'image WIDTH HEIGHT' line"},
        BadText{"rows_without_image_line", PictureKind::Bitmap, grey + "..\n", 2,
                "pixel rows before"},
        BadText{"image_without_colours", PictureKind::Bitmap, "image 1 1\n.\n", 1,
                "before any 'colour' line"},
        BadText{"misspelt_keyword", PictureKind::Bitmap, "color . c0c0c0\n", 1,
                "unknown word 'color'"},
        BadText{"colour_missing_value", PictureKind::Bitmap, "colour .\n", 1,
                "'colour SYMBOL RRGGBB'"},
        BadText{"colour_extra_word", PictureKind::Bitmap, "colour . c0c0c0 grey\n", 1,
                "'colour SYMBOL RRGGBB'"},
        BadText{"symbol_of_two_characters", PictureKind::Bitmap, "colour ab 000000\n", 1,
                "the symbol 'ab'"},
        BadText{"semicolon_symbol", PictureKind::Bitmap, "colour ; 000000\n", 1, "other than ';'"},
        BadText{"symbol_given_twice", PictureKind::Bitmap, grey + "colour . 000000\n", 2,
                "the symbol '.' is given twice"},
        BadText{"short_hex", PictureKind::Bitmap, "colour . c0c0c\n", 1, "six hex digits"},
        BadText{"bad_hex_digit", PictureKind::Bitmap, "colour . c0c0cg\n", 1, "'c0c0cg'"},
        BadText{"transparent_bitmap", PictureKind::Bitmap, "colour - transparent\n", 1,
                "a bitmap has no transparent colour"},
        BadText{"two_transparents", PictureKind::Icon,
                "colour - transparent\ncolour _ transparent\n", 2, "a second transparent colour"},
        BadText{"seventeen_colours", PictureKind::Bitmap, SeventeenColours(), 17,
                "more than 16 colours"},
        BadText{"colour_after_image", PictureKind::Bitmap, grey + "image 1 1\n.\ncolour # 000000\n",
                4, "colours come before"},
        BadText{"image_missing_height", PictureKind::Bitmap, grey + "image 20\n", 2,
                "'image WIDTH HEIGHT'"},
        BadText{"zero_width", PictureKind::Bitmap, grey + "image 0 1\n", 2,
                "not two numbers from 1 to 256"},
        BadText{"too_wide", PictureKind::Bitmap, grey + "image 257 1\n", 2, "'257'"},
        BadText{"too_tall", PictureKind::Bitmap, grey + "image 1 99999999999999999999\n", 2,
                "from 1 to 256"},
        BadText{"negative_size", PictureKind::Bitmap, grey + "image -1 1\n", 2, "'-1'"},
        BadText{"size_not_a_number", PictureKind::Bitmap, grey + "image 2x2 2\n", 2, "'2x2'"},
        BadText{"short_row", PictureKind::Bitmap, grey + "image 3 2\n...\n..\n", 4,
                "row 2 of the 3 x 2 image of line 2 has 2 pixels, not 3"},
        BadText{"long_row", PictureKind::Bitmap, grey + "image 3 1\n....\n", 3,
                "has 4 pixels, not 3"},
        BadText{"unknown_symbol", PictureKind::Bitmap, greyAndBlack + "image 3 2\n...\n.#x\n", 5,
                "column 3: 'x' is not one of its colours"},
        BadText{"space_in_row", PictureKind::Bitmap, grey + "image 3 1\n. .\n", 3,
                "column 2: byte 0x20"},
        BadText{"non_ascii_in_row", PictureKind::Bitmap, grey + "image 2 1\n.\xC3\xA9\n", 3,
                "has 3 pixels, not 2"},
        BadText{"high_byte_in_row", PictureKind::Bitmap, grey + "image 2 1\n.\xFF\n", 3,
                "column 2: byte 0xff"},
        BadText{"nul_in_row", PictureKind::Bitmap, grey + "image 2 1\n." + std::string(1, '\0'), 3,
                "byte 0x00"},
        BadText{"ends_inside_image", PictureKind::Bitmap, grey + "image 2 3\n..\n..\n\n", 5,
                "the file ends after row 2 of the 2 x 3 image of line 2"},
        BadText{"ends_after_a_newline", PictureKind::Bitmap, grey + "image 2 3\n..\n..\n", 4,
                "the file ends after row 2"},
        BadText{"row_past_the_image", PictureKind::Bitmap, grey + "image 2 1\n..\n..\n", 4,
                "a row past the last one of the 2 x 1 image of line 2"},
        BadText{"bitmap_with_two_images", PictureKind::Bitmap,
                grey + "image 1 1\n.\nimage 2 2\n..\n..\n", 4, "a second image"},
        BadText{"icon_size_twice", PictureKind::Icon, grey + "image 1 1\n.\nimage 1 1\n.\n", 4,
                "a second image of 1 x 1"},
        BadText{"seventeen_icon_images", PictureKind::Icon, SixteenOneByOneImages(), 34,
                "more than 16 images"},
        BadText{"transparent_without_room_for_black", PictureKind::Icon,
                SixteenGreysAndTransparent(), 18, "needs black"}),
    [](const testing::TestParamInfo<BadText> &info) { return std::string(info.param.name); });

TEST(TextPicture, SixteenColoursWithBlackLeaveRoomForTransparency) {
    std::string text = "colour - transparent\ncolour a 000000\n";
    for (int i = 1; i < 16; ++i) {
        text += "colour " + std::string(1, static_cast<char>('a' + i)) + " 2020" +
                std::string(1, "0123456789abcdef"[i]) + "0\n";
    }
    const TextPicture picture = Parsed(text + "image 2 1\n-p\n", PictureKind::Icon);
    EXPECT_EQ(picture.colours.size(), 17u);
}

TextPicture Sample() {
    TextPicture picture;
    picture.colours = {PictureColour{'.', false, 192, 192, 192}, PictureColour{'#'}};
    picture.images = {PictureImage{2, 1, {0, 1}}};
    return picture;
}

TEST(TextPicture, WellFormedIsWhatTheParserPromises) {
    EXPECT_TRUE(IsWellFormedPicture(Sample(), PictureKind::Bitmap));
    EXPECT_TRUE(IsWellFormedPicture(Sample(), PictureKind::Icon));

    TextPicture noImage = Sample();
    noImage.images.clear();
    EXPECT_FALSE(IsWellFormedPicture(noImage, PictureKind::Bitmap));

    TextPicture shortPixels = Sample();
    shortPixels.images[0].pixels.pop_back();
    EXPECT_FALSE(IsWellFormedPicture(shortPixels, PictureKind::Bitmap));

    TextPicture indexPastColours = Sample();
    indexPastColours.images[0].pixels[1] = 2;
    EXPECT_FALSE(IsWellFormedPicture(indexPastColours, PictureKind::Bitmap));

    TextPicture tooWide = Sample();
    tooWide.images[0] = PictureImage{257, 1, std::vector<uint8_t>(257, 0)};
    EXPECT_FALSE(IsWellFormedPicture(tooWide, PictureKind::Bitmap));

    TextPicture twoImages = Sample();
    twoImages.images.push_back(PictureImage{1, 1, {0}});
    EXPECT_FALSE(IsWellFormedPicture(twoImages, PictureKind::Bitmap));
    EXPECT_TRUE(IsWellFormedPicture(twoImages, PictureKind::Icon));
    twoImages.images.push_back(PictureImage{1, 1, {1}});
    EXPECT_FALSE(IsWellFormedPicture(twoImages, PictureKind::Icon));

    TextPicture transparent = Sample();
    transparent.colours.push_back(PictureColour{'-', true});
    EXPECT_FALSE(IsWellFormedPicture(transparent, PictureKind::Bitmap));
    EXPECT_TRUE(IsWellFormedPicture(transparent, PictureKind::Icon));

    TextPicture manyColours = Sample();
    manyColours.colours.resize(17);
    EXPECT_FALSE(IsWellFormedPicture(manyColours, PictureKind::Icon));
}

} // namespace
