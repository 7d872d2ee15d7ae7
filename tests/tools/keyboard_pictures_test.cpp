// The keyboard program's pictures (pennakbd/res), as the build converts them and the platform
// loads them.
#include <gtest/gtest.h>

#include "embedded_files.h"
#include "text_picture.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const uint32_t lightGrey = 0xC0C0C0, darkGrey = 0x808080, black = 0, white = 0xFFFFFF;

std::vector<unsigned char> ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Read16(const std::vector<unsigned char> &bytes, size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}

uint32_t Read32(const std::vector<unsigned char> &bytes, size_t at) {
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

std::string Generated(const std::string &name, const char *extension) {
    return std::string(KEYBOARD_PICTURES_DIR) + "/" + name + extension;
}

TextPicture Text(const std::string &name, PictureKind kind) {
    const std::vector<unsigned char> bytes =
        ReadBytes(std::string(KEYBOARD_PICTURE_TEXTS_DIR) + "/" + name + ".txt");
    TextPicture picture;
    PictureError error;
    EXPECT_TRUE(ParseTextPicture(std::string(bytes.begin(), bytes.end()), kind, picture, error))
        << name << ":" << error.line << ": " << error.message;
    return picture;
}

// A pixel of the drawn text as 0xRRGGBB; transparent pixels as none of those.
uint32_t Pixel(const TextPicture &picture, size_t image, int x, int y) {
    const PictureImage &drawn = picture.images.at(image);
    const PictureColour &colour =
        picture.colours.at(drawn.pixels.at(static_cast<size_t>(y) * drawn.width + x));
    if (colour.transparent) {
        return 0xFF000000;
    }
    return static_cast<uint32_t>(colour.red) << 16 | colour.green << 8 | colour.blue;
}

uint32_t FromColorRef(COLORREF colour) {
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 |
           GetBValue(colour);
}

std::u16string Wide(const std::string &text) {
    return std::u16string(text.begin(), text.end());
}

struct KeyboardBitmap {
    const char *name;
    int width;
    int height;
};

const KeyboardBitmap keyboardBitmaps[] = {
    {"arrow_up", 20, 20},
    {"arrow_right", 20, 20},
    {"arrow_down", 20, 20},
    {"arrow_left", 20, 20},
    {"enter", 28, 20},
    {"shift", 21, 20},
    {"tab", 25, 18},
    {"context_menu", 21, 20},
    {"esc", 20, 20},
    {"alt", 22, 18},
    {"start_flag", 26, 21},
    {"ctrl", 36, 18},
    {"caps", 36, 18},
    {"key_1", 18, 18},
    {"key_2", 18, 18},
    {"key_3", 18, 18},
    {"key_4", 18, 18},
    {"key_5", 18, 18},
    {"key_6", 18, 18},
    {"backspace", 18, 18},
    {"del", 20, 20},
    {"rocket", 26, 21},
    {"end", 20, 20},
    {"home", 20, 20},
    {"wrench_raised", 18, 18},
    {"wrench_pressed", 18, 18},
    {"frame_arrows_raised", 17, 17},
    {"frame_arrows_pressed", 17, 17},
    {"pin_sideways", 17, 17},
    {"pin_pushed", 17, 17},
    {"panel_up", 17, 17},
    {"panel_down", 17, 17},
};

const char *const keyboardIcon = "keyboard_icon";

class KeyboardBitmaps : public testing::TestWithParam<KeyboardBitmap> {};

TEST_P(KeyboardBitmaps, AreFourBitBitmapsOfTheirSize) {
    const KeyboardBitmap &c = GetParam();
    const std::vector<unsigned char> file = ReadBytes(Generated(c.name, ".bmp"));
    ASSERT_GE(file.size(), 54u) << c.name;
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Read32(file, 2), file.size());
    EXPECT_EQ(Read32(file, 14), 40u);
    EXPECT_EQ(static_cast<int>(Read32(file, 18)), c.width);
    EXPECT_EQ(static_cast<int>(Read32(file, 22)), c.height);
    EXPECT_EQ(Read16(file, 28), 4u);
    const uint32_t colours = Read32(file, 46);
    EXPECT_GE(colours, 2u);
    EXPECT_LE(colours, 16u);
    EXPECT_EQ(Read32(file, 10), 54 + 4 * colours);
    EXPECT_EQ(file.size(), 54 + 4 * colours + (c.width * 4 + 31) / 32 * 4 * c.height);
    std::set<uint32_t> palette;
    for (uint32_t i = 0; i < colours && 54 + 4 * i + 3 <= file.size(); ++i) {
        const size_t at = 54 + 4 * i;
        palette.insert(static_cast<uint32_t>(file[at + 2]) << 16 | file[at + 1] << 8 | file[at]);
    }
    EXPECT_TRUE(palette.count(lightGrey)) << c.name;
    EXPECT_TRUE(palette.count(black)) << c.name;
}

TEST_P(KeyboardBitmaps, AreBlackOnLightGrey) {
    const KeyboardBitmap &c = GetParam();
    const TextPicture picture = Text(c.name, PictureKind::Bitmap);
    ASSERT_EQ(picture.images.size(), 1u);
    ASSERT_EQ(picture.images[0].width, c.width);
    ASSERT_EQ(picture.images[0].height, c.height);
    std::map<uint32_t, int> counts;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            ++counts[Pixel(picture, 0, x, y)];
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto a, auto b) { return a.second < b.second; });
    EXPECT_EQ(most->first, lightGrey) << c.name;
    EXPECT_GT(counts[black], 0) << c.name;
}

TEST_P(KeyboardBitmaps, LoadPixelForPixelAsDrawn) {
    const KeyboardBitmap &c = GetParam();
    const TextPicture picture = Text(c.name, PictureKind::Bitmap);
    ASSERT_EQ(picture.images.size(), 1u);
    HANDLE image = LoadImageW(nullptr, Wide(Generated(c.name, ".bmp")).c_str(), IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE);
    ASSERT_NE(image, nullptr) << c.name;
    BITMAP info{};
    ASSERT_EQ(GetObjectW(image, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, image);
    int differences = 0;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const uint32_t loaded = FromColorRef(GetPixel(dc, x, y));
            if (loaded != Pixel(picture, 0, x, y) && differences++ == 0) {
                ADD_FAILURE() << c.name << ": first difference at " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(differences, 0) << c.name;
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(image);
}

INSTANTIATE_TEST_SUITE_P(KeyboardPictures, KeyboardBitmaps, testing::ValuesIn(keyboardBitmaps),
                         [](const testing::TestParamInfo<KeyboardBitmap> &info) {
                             return std::string(info.param.name);
                         });

TEST(KeyboardPictures, EveryTextPictureIsListedAndConverted) {
    std::set<std::string> listed = {keyboardIcon};
    for (const KeyboardBitmap &bitmap : keyboardBitmaps) {
        listed.insert(bitmap.name);
    }
    std::set<std::string> found;
    for (const auto &entry : fs::directory_iterator(KEYBOARD_PICTURE_TEXTS_DIR)) {
        if (entry.path().extension() == ".txt") {
            found.insert(entry.path().stem().string());
        }
    }
    EXPECT_EQ(found, listed);
    for (const std::string &name : found) {
        EXPECT_TRUE(fs::exists(Generated(name, name == keyboardIcon ? ".ico" : ".bmp"))) << name;
    }
}

TEST(KeyboardPictures, EmbedAsConverted) {
    const std::vector<unsigned char> arrow = ReadBytes(Generated("arrow_up", ".bmp"));
    EXPECT_EQ(std::vector<unsigned char>(res_arrow_up_bmp, res_arrow_up_bmp + res_arrow_up_bmpSize),
              arrow);
    const std::vector<unsigned char> icon = ReadBytes(Generated(keyboardIcon, ".ico"));
    EXPECT_EQ(std::vector<unsigned char>(res_keyboard_icon_ico,
                                         res_keyboard_icon_ico + res_keyboard_icon_icoSize),
              icon);
}

// The classic edges: raised is white top and left, dark grey and black bottom and right;
// pressed is black and dark grey top and left, white bottom and right.
void ExpectEdges(const std::string &name, bool raised) {
    const TextPicture picture = Text(name, PictureKind::Bitmap);
    ASSERT_EQ(picture.images.size(), 1u);
    const int w = picture.images[0].width;
    const int h = picture.images[0].height;
    const uint32_t outerLit = raised ? white : black;
    const uint32_t outerShade = raised ? black : white;
    for (int i = 0; i < w - 1; ++i) {
        EXPECT_EQ(Pixel(picture, 0, i, 0), outerLit) << name << " top " << i;
        EXPECT_EQ(Pixel(picture, 0, i + 1, h - 1), outerShade) << name << " bottom " << i;
    }
    for (int i = 0; i < h - 1; ++i) {
        EXPECT_EQ(Pixel(picture, 0, 0, i), outerLit) << name << " left " << i;
        EXPECT_EQ(Pixel(picture, 0, w - 1, i + 1), outerShade) << name << " right " << i;
    }
    for (int i = 1; i < w - 1; ++i) {
        EXPECT_EQ(Pixel(picture, 0, i, raised ? h - 2 : 1), darkGrey) << name << " inner " << i;
    }
    for (int i = 1; i < h - 1; ++i) {
        EXPECT_EQ(Pixel(picture, 0, raised ? w - 2 : 1, i), darkGrey) << name << " inner " << i;
    }
}

TEST(KeyboardPictures, ButtonsHaveRaisedOrPressedEdges) {
    for (const char *name : {"wrench_raised", "frame_arrows_raised", "pin_sideways", "panel_up"}) {
        ExpectEdges(name, true);
    }
    for (const char *name :
         {"wrench_pressed", "frame_arrows_pressed", "pin_pushed", "panel_down"}) {
        ExpectEdges(name, false);
    }
}

TEST(KeyboardPictures, PressedButtonsMoveTheSymbolDownRight) {
    for (const std::string name : {"wrench", "frame_arrows"}) {
        const TextPicture raised = Text(name + "_raised", PictureKind::Bitmap);
        const TextPicture pressed = Text(name + "_pressed", PictureKind::Bitmap);
        ASSERT_EQ(raised.images.size(), 1u);
        ASSERT_EQ(pressed.images.size(), 1u);
        const int w = raised.images[0].width;
        const int h = raised.images[0].height;
        for (int y = 1; y < h - 2; ++y) {
            for (int x = 1; x < w - 2; ++x) {
                EXPECT_EQ(Pixel(raised, 0, x, y), Pixel(pressed, 0, x + 1, y + 1))
                    << name << " at " << x << "," << y;
            }
        }
    }
}

TEST(KeyboardIcon, HoldsSixteenAndThirtyTwoPixelImagesAtFourBits) {
    const std::vector<unsigned char> file = ReadBytes(Generated(keyboardIcon, ".ico"));
    ASSERT_GE(file.size(), 6u + 2 * 16);
    EXPECT_EQ(Read16(file, 0), 0u);
    EXPECT_EQ(Read16(file, 2), 1u);
    ASSERT_EQ(Read16(file, 4), 2u);
    std::set<int> sides;
    for (size_t entry = 6; entry < 6 + 2 * 16; entry += 16) {
        EXPECT_EQ(file[entry], file[entry + 1]);
        sides.insert(file[entry]);
        EXPECT_EQ(Read16(file, entry + 6), 4u);
        const uint32_t size = Read32(file, entry + 8);
        const uint32_t offset = Read32(file, entry + 12);
        ASSERT_LE(offset + size, file.size());
        EXPECT_EQ(Read32(file, offset), 40u);
        EXPECT_EQ(Read32(file, offset + 4), file[entry]);
        EXPECT_EQ(Read32(file, offset + 8), 2u * file[entry]);
        EXPECT_EQ(Read16(file, offset + 14), 4u);
    }
    EXPECT_EQ(sides, (std::set<int>{16, 32}));
}

class KeyboardIconSizes : public testing::TestWithParam<int> {};

TEST_P(KeyboardIconSizes, DrawsAsDrawnWithTheBackgroundThroughItsMask) {
    const int side = GetParam();
    const TextPicture picture = Text(keyboardIcon, PictureKind::Icon);
    size_t index = 0;
    while (index < picture.images.size() && picture.images[index].width != side) {
        ++index;
    }
    ASSERT_LT(index, picture.images.size());
    HICON icon =
        static_cast<HICON>(LoadImageW(nullptr, Wide(Generated(keyboardIcon, ".ico")).c_str(),
                                      IMAGE_ICON, side, side, LR_LOADFROMFILE));
    ASSERT_NE(icon, nullptr);
    const uint32_t background = 0xFF00FF;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(side, side, 1, 32, nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    const RECT all{0, 0, side, side};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, side, side, 0, nullptr, DI_NORMAL));
    int differences = 0;
    int transparent = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            uint32_t drawn = Pixel(picture, index, x, y);
            if (drawn == 0xFF000000) {
                drawn = background;
                ++transparent;
            }
            if (FromColorRef(GetPixel(dc, x, y)) != drawn && differences++ == 0) {
                ADD_FAILURE() << side << ": first difference at " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(transparent, 0);
    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    DestroyIcon(icon);
}

INSTANTIATE_TEST_SUITE_P(KeyboardPictures, KeyboardIconSizes, testing::Values(16, 32));

} // namespace
