// Key faces: the pictures the library draws for MACRO, LAUNCH and SWITCH keys while a layout is
// loaded with the host's device context.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../platform/golden.h"
#include "layodex_test_support.h"

namespace {

// What each build draws faces with: the font's size in points, and the grey of a program's name
// (the device's system grey; the desktop's bare index 17 is a colour, nearly black).
#ifdef UNDER_CE
const int facePoints = 7;
const COLORREF programGrey = RGB(128, 128, 128);
const std::string buildName = "device";
#else
const int facePoints = 6;
const COLORREF programGrey = RGB(17, 0, 0);
const std::string buildName = "desktop";
#endif
const COLORREF black = RGB(0, 0, 0);
const uint32_t whitePixel = 0xFFFFFF;

const std::string twoSizesIcon = DataDirectory("../platform/icons/two_sizes.ico");

// The face font as the library makes it, for measuring and for drawing what a face should show.
class FaceFont {
  public:
    FaceFont() : dc_(CreateCompatibleDC(nullptr)) {
        LOGFONTW font = {};
        font.lfHeight = -(GetDeviceCaps(dc_, LOGPIXELSY) * facePoints) / 72;
        font.lfWeight = FW_MEDIUM;
        lstrcpyW(font.lfFaceName, u"Tahoma");
        font_ = CreateFontIndirectW(&font);
        previous_ = SelectObject(dc_, font_);
    }
    ~FaceFont() {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
        DeleteDC(dc_);
    }
    HDC Dc() const {
        return dc_;
    }
    SIZE Extent(const std::u16string &text) const {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc_, text.c_str(), (int)text.size(), &size);
        return size;
    }

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

uint32_t PixelOf(COLORREF color) {
    return (uint32_t)GetRValue(color) << 16 | (uint32_t)GetGValue(color) << 8 | GetBValue(color);
}

// A bitmap's pixels, read through a device context of our own: which fails for a bitmap that is
// still selected into another one.
Surface PixelsOf(HBITMAP bitmap) {
    BITMAP info = {};
    if (GetObjectW(bitmap, sizeof info, &info) == 0)
        return Surface();
    Surface pixels(info.bmWidth, info.bmHeight, 0u);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    EXPECT_NE(previous, nullptr) << "the face is still selected elsewhere";
    for (int y = 0; y < info.bmHeight; y++) {
        for (int x = 0; x < info.bmWidth; x++)
            pixels.At(x, y) = PixelOf(GetPixel(dc, x, y));
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return pixels;
}

// text drawn in color on white, centred in a box of width by height and clipped to it.
Surface DrawnText(const std::u16string &text, COLORREF color, int width, int height) {
    FaceFont font;
    HBITMAP bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    HGDIOBJ previous = SelectObject(font.Dc(), bitmap);
    PatBlt(font.Dc(), 0, 0, width, height, WHITENESS);
    SetTextColor(font.Dc(), color);
    SIZE size = font.Extent(text);
    RECT box = {0, 0, width, height};
    ExtTextOutW(font.Dc(), (width - size.cx) / 2, (height - size.cy) / 2, ETO_CLIPPED, &box,
                text.c_str(), (UINT)text.size(), nullptr);
    SelectObject(font.Dc(), previous);
    Surface pixels = PixelsOf(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

::testing::AssertionResult SamePixels(const Surface &drawn, const Surface &expected) {
    if (drawn.width != expected.width || drawn.height != expected.height)
        return ::testing::AssertionFailure()
               << "face is " << drawn.width << "x" << drawn.height << ", expected "
               << expected.width << "x" << expected.height;
    for (int y = 0; y < drawn.height; y++) {
        for (int x = 0; x < drawn.width; x++) {
            if (drawn.At(x, y) != expected.At(x, y))
                return ::testing::AssertionFailure()
                       << "first difference at " << x << "," << y << ": " << std::hex
                       << drawn.At(x, y) << " instead of " << expected.At(x, y);
        }
    }
    return ::testing::AssertionSuccess();
}

// The colours a face uses besides white.
std::vector<uint32_t> InkColors(const Surface &face) {
    std::vector<uint32_t> colors;
    for (uint32_t pixel : face.pixels) {
        if (pixel != whitePixel && std::find(colors.begin(), colors.end(), pixel) == colors.end())
            colors.push_back(pixel);
    }
    return colors;
}

// A path to a host file as a layout file names programs: with backslashes.
std::string WithBackslashes(std::string path) {
    for (char &c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string Decimal(int value) {
    return std::to_string(value);
}

// A layout "Faces" of the given key lines in a fresh search directory, loaded with a memory device
// context of the host's; everything is released at the end of the test.
class KeyFaces : public testing::Test {
  protected:
    void SetUp() override {
        host_ = CreateCompatibleDC(nullptr);
    }
    void TearDown() override {
        layouts_.reset();
        DeleteDC(host_);
    }

    std::vector<KeyDef *> LoadKeys(const std::string &keyLines, HDC dc) {
        directory_.WriteLayoutFile("faces.kbi", "[Faces,F,Main,1]\n" + keyLines);
        return LoadFrom(dc);
    }
    std::vector<KeyDef *> LoadKeys(const std::string &keyLines) {
        return LoadKeys(keyLines, host_);
    }
    std::vector<KeyDef *> LoadFrom(HDC dc) {
        layouts_ = std::make_unique<LoadedLayouts>(directory_.Path());
        KeyboardLayout request = {};
        Utf16("Faces").copy(request.name, LAYOUT_NAME_SIZE - 1);
        Utf16("Main").copy(request.subName, LAYOUT_NAME_SIZE - 1);
        request.number = -1;
        KeyboardLayout *layout =
            (KeyboardLayout *)LoadKeyBoard(layouts_->Catalogue(), &request, dc);
        EXPECT_NE(layout, nullptr);
        return layout != nullptr ? KeysInListOrder(layout) : std::vector<KeyDef *>();
    }
    // The face of a MACRO key whose box (the key less 4 pixels each way) is width by height.
    Surface MacroFace(const std::string &text, int width, int height = 16) {
        std::vector<KeyDef *> keys =
            LoadKeys("0, 0, " + Decimal(width + 4) + ", " + Decimal(height + 4) + ", MACRO, m, \"" +
                     text + "\", 0\n");
        if (keys.size() != 1 || keys[0]->image == nullptr) {
            ADD_FAILURE() << "no face for \"" << text << "\"";
            return Surface();
        }
        return PixelsOf(keys[0]->image);
    }
    std::string HostFile(const std::string &name) const {
        return WithBackslashes(directory_.File(name));
    }

    TemporaryDirectory directory_;
    HDC host_ = nullptr;
    std::unique_ptr<LoadedLayouts> layouts_;
};

// Which part of a text a face shows: the box is as wide as `fitting` measures plus `extra`.
struct FitCase {
    const char *label;
    std::string text;
    std::string fitting;
    int extra;
    std::string shown;
};

void PrintTo(const FitCase &test, std::ostream *out) {
    *out << test.label;
}

class FaceTextFits : public KeyFaces, public testing::WithParamInterface<FitCase> {};

TEST_P(FaceTextFits, ShowsWhatFitsCentred) {
    const FitCase &test = GetParam();
    FaceFont font;
    int width = font.Extent(Utf16(test.fitting)).cx + test.extra;
    ASSERT_GT(width, 0);
    Surface face = MacroFace(test.text, width);
    EXPECT_TRUE(SamePixels(face, DrawnText(Utf16(test.shown), black, width, 16)));
    EXPECT_EQ(InkColors(face), std::vector<uint32_t>{0}) << "text is black on white";
}

const std::string sixty = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

INSTANTIATE_TEST_SUITE_P(
    KeyFaces, FaceTextFits,
    testing::Values(
        FitCase{"WholeWordInAWideBox", "Word", "Word", 12, "Word"},
        FitCase{"WholeWordJustFitting", "Word", "Word", 0, "Word"},
        FitCase{"ThreeFit", "Keyboard", "Key", 0, "Key"},
        FitCase{"TwoFitOneWord", "Word", "Wo", 0, "Wo"},
        FitCase{"TwoFitTwoWords", "New York", "Ne", 0, "NY"},
        FitCase{"TwoFitThreeWords", "la vie en", "la", 0, "lv"},
        FitCase{"TwoFitSpaceAtTheEnd", "Ab ", "Ab", 0, "A"},
        FitCase{"OneFits", "Word", "W", 0, "W"}, FitCase{"NoneFits", "Word", "W", -1, "W"},
        FitCase{"OneCharacter", "x", "x", 4, "x"},
        FitCase{"LongTextCutAtFifty", sixty, sixty, 0, sixty.substr(0, 50)},
        FitCase{"FiftyCharactersShownWhole", sixty.substr(0, 50), sixty, 0, sixty.substr(0, 50)},
        FitCase{"FiftyOneCutAtFifty", sixty.substr(0, 51), sixty, 0, sixty.substr(0, 50)},
        FitCase{"LongTextMeasuredOnlyToFifty", sixty, sixty.substr(0, 50), 0, sixty.substr(0, 50)},
        FitCase{"LongTextTwoFit", "ab" + sixty, "ab", 0, "ab"}),
    [](const testing::TestParamInfo<FitCase> &info) { return std::string(info.param.label); });

TEST_F(KeyFaces, TextIsCentredVerticallyAndClippedToTheBox) {
    FaceFont font;
    SIZE size = font.Extent(u"Hi");
    // Taller than the text: centred; lower than the text: the middle of it, clipped.
    EXPECT_TRUE(SamePixels(MacroFace("Hi", size.cx + 6, size.cy + 9),
                           DrawnText(u"Hi", black, size.cx + 6, size.cy + 9)));
    EXPECT_TRUE(
        SamePixels(MacroFace("Hi", size.cx + 6, 5), DrawnText(u"Hi", black, size.cx + 6, 5)));
}

TEST_F(KeyFaces, EmptyMacroTextGivesABlankFace) {
    Surface face = MacroFace("", 10);
    EXPECT_EQ(face.width, 10);
    EXPECT_TRUE(InkColors(face).empty());
}

TEST_F(KeyFaces, SwitchKeyShowsTheLabelOfTheNextLayout) {
    directory_.WriteLayoutFile("faces.kbi", "[Faces,F,Main,1]\n0, 0, 34, 20, SWITCH, s, 0, 0\n"
                                            "[Greek,GR,Main,1]\n0, 0, 20, 20, , g, 0, 0\n");
    std::vector<KeyDef *> keys = LoadFrom(host_);
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_NE(keys[0]->image, nullptr);
    EXPECT_NE(keys[0]->flags & KEY_IMAGE_OWNED, 0u);
    EXPECT_TRUE(SamePixels(PixelsOf(keys[0]->image), DrawnText(u"GR", black, 30, 16)));
}

TEST_F(KeyFaces, ProgramWithAnIconShowsItsSmallIconAtTheTopLeft) {
    std::filesystem::copy_file(twoSizesIcon, directory_.File("tool.ico"));
    WriteBytes(directory_.File("tool.exe"), "a program");
    std::vector<KeyDef *> keys =
        LoadKeys("0, 0, 40, 30, LAUNCH, l, \"" + HostFile("tool.exe") + "\", 0\n");
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_NE(keys[0]->image, nullptr);
    Surface face = PixelsOf(keys[0]->image);
    ASSERT_EQ(face.width, 36);
    ASSERT_EQ(face.height, 26);
    // The small icon: red on the left, blue on the right, a clear ring that leaves the white.
    EXPECT_EQ(face.At(1, 1), 0xFF0000u);
    EXPECT_EQ(face.At(14, 14), 0x0000FFu);
    EXPECT_EQ(face.At(0, 0), whitePixel);
    EXPECT_EQ(face.At(15, 15), whitePixel);
    for (int y = 0; y < face.height; y++) {
        for (int x = 0; x < face.width; x++) {
            if (x >= 16 || y >= 16) {
                ASSERT_EQ(face.At(x, y), whitePixel) << x << "," << y;
            }
        }
    }
}

TEST_F(KeyFaces, ProgramWithoutAnIconShowsItsNameInGrey) {
    WriteBytes(directory_.File("Word Pad.exe"), "a program");
    FaceFont font;
    int narrow = font.Extent(u"Wo").cx;
    std::vector<KeyDef *> keys =
        LoadKeys("0, 0, 84, 20, LAUNCH, l, \"" + HostFile("Word Pad.exe") + "\", 0\n" + "0, 0, " +
                 Decimal(narrow + 4) + ", 20, LAUNCH, l, \"" + HostFile("Word Pad.exe") +
                 "\", 0\n" + "0, 0, 64, 20, LAUNCH, l, \"\\Windows\\notes.exe\", 0\n" +
                 "0, 0, 64, 20, LAUNCH, l, \"\\Apps\\v1.2\\read.me.txt\", 0\n" +
                 "0, 0, 64, 20, LAUNCH, l, \"no folder\", 0\n");
    ASSERT_EQ(keys.size(), 5u);
    for (KeyDef *key : keys)
        ASSERT_NE(key->image, nullptr);
    // The base name without its extension; a narrow box shows the initials of its words.
    Surface wide = PixelsOf(keys[0]->image);
    EXPECT_TRUE(SamePixels(wide, DrawnText(u"Word Pad", programGrey, 80, 16)));
    EXPECT_EQ(InkColors(wide), std::vector<uint32_t>{PixelOf(programGrey)});
    EXPECT_TRUE(SamePixels(PixelsOf(keys[1]->image), DrawnText(u"WP", programGrey, narrow, 16)));
    // A missing file has no icon either; the extension starts at the first dot of the name.
    EXPECT_TRUE(SamePixels(PixelsOf(keys[2]->image), DrawnText(u"notes", programGrey, 60, 16)));
    EXPECT_TRUE(SamePixels(PixelsOf(keys[3]->image), DrawnText(u"read", programGrey, 60, 16)));
    EXPECT_TRUE(SamePixels(PixelsOf(keys[4]->image), DrawnText(u"no folder", programGrey, 60, 16)));
}

TEST_F(KeyFaces, EmptyProgramPathGivesABlankFace) {
    std::vector<KeyDef *> keys = LoadKeys("0, 0, 24, 20, LAUNCH, l, \"\", 0\n");
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_NE(keys[0]->image, nullptr);
    Surface face = PixelsOf(keys[0]->image);
    EXPECT_EQ(face.width, 20);
    EXPECT_TRUE(InkColors(face).empty());
}

TEST_F(KeyFaces, KeysOfFourPixelsOrLessGetNoFace) {
    std::vector<KeyDef *> keys = LoadKeys("0, 0, 4, 20, MACRO, m, \"abc\", 0\n"
                                          "0, 0, 20, 4, MACRO, m, \"abc\", 0\n"
                                          "0, 0, 0, 0, MACRO, m, \"abc\", 0\n"
                                          "0, 0, -30, 20, LAUNCH, l, \"x.exe\", 0\n"
                                          "0, 0, 20, -1000, MACRO, m, \"abc\", 0\n"
                                          "0, 0, -2147483648, -2147483648, MACRO, m, \"abc\", 0\n"
                                          "0, 0, 5, 5, MACRO, m, \"abc\", 0\n");
    ASSERT_EQ(keys.size(), 7u);
    for (size_t i = 0; i < 6; i++) {
        EXPECT_EQ(keys[i]->image, nullptr) << i;
        EXPECT_EQ(keys[i]->flags & KEY_IMAGE_OWNED, 0u) << i;
    }
    // Five pixels make a face of one.
    ASSERT_NE(keys[6]->image, nullptr);
    EXPECT_EQ(PixelsOf(keys[6]->image).width, 1);
}

TEST_F(KeyFaces, NoDeviceContextNoFaces) {
    // As the converter loads layouts: without a device context nothing is drawn.
    std::vector<KeyDef *> keys = LoadKeys("0, 0, 40, 20, MACRO, m, \"abc\", 0\n"
                                          "0, 0, 40, 20, LAUNCH, l, \"x.exe\", 0\n",
                                          nullptr);
    ASSERT_EQ(keys.size(), 2u);
    for (KeyDef *key : keys) {
        EXPECT_EQ(key->image, nullptr);
        EXPECT_EQ(key->flags & KEY_IMAGE_OWNED, 0u);
    }
    // The first device context given later is what faces are drawn with from then on.
    KeyboardLayout request = {};
    Utf16("Other").copy(request.name, LAYOUT_NAME_SIZE - 1);
    Utf16("Main").copy(request.subName, LAYOUT_NAME_SIZE - 1);
    request.number = -1;
    directory_.WriteLayoutFile("other.kbi",
                               "[Other,O,Main,1]\n0, 0, 40, 20, MACRO, m, \"abc\", 0\n");
    KeyboardLayout *other = (KeyboardLayout *)LoadKeyBoard(nullptr, &request, host_);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(KeysInListOrder(other).size(), 1u);
    EXPECT_NE(KeysInListOrder(other)[0]->image, nullptr);
    EXPECT_NE(KeysInListOrder(other)[0]->flags & KEY_IMAGE_OWNED, 0u);
}

TEST_F(KeyFaces, InvalidDeviceContextNoFaces) {
    std::vector<KeyDef *> keys =
        LoadKeys("0, 0, 40, 20, MACRO, m, \"abc\", 0\n", (HDC)(ULONG_PTR)0x7FFF0002);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0]->image, nullptr);
}

TEST_F(KeyFaces, FacesAreBitmapsOfTheBoxInTheHostsFormat) {
    std::vector<KeyDef *> keys = LoadKeys("0, 0, 30, 12, MACRO, m, \"abc\", 0\n");
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_NE(keys[0]->image, nullptr);
    EXPECT_NE(keys[0]->flags & KEY_IMAGE_OWNED, 0u);
    EXPECT_EQ(keys[0]->flags & KEY_IMAGE_BORROWED, 0u);
    EXPECT_EQ(GetObjectType(keys[0]->image), (DWORD)OBJ_BITMAP);
    BITMAP info = {};
    ASSERT_EQ(GetObjectW(keys[0]->image, sizeof info, &info), (int)sizeof info);
    EXPECT_EQ(info.bmWidth, 26);
    EXPECT_EQ(info.bmHeight, 8);
    EXPECT_EQ(info.bmPlanes, GetDeviceCaps(host_, PLANES));
    EXPECT_EQ(info.bmBitsPixel, GetDeviceCaps(host_, BITSPIXEL));
}

// Every GDI object and icon made between two probes is gone once the layouts are released: the
// faces, the icons drawn on them, the face context and its font. Handles are never reused, so
// each one made in between has a value between the probes'.
TEST_F(KeyFaces, FacesTheirIconsAndTheFaceContextAreReleasedWithTheLayouts) {
    std::filesystem::copy_file(twoSizesIcon, directory_.File("tool.ico"));
    WriteBytes(directory_.File("tool.exe"), "a program");
    HICON firstIcon = nullptr;
    ASSERT_EQ(ExtractIconExA(twoSizesIcon.c_str(), 0, &firstIcon, nullptr, 1), 1u);
    DestroyIcon(firstIcon);
    HGDIOBJ firstObject = CreateSolidBrush(RGB(1, 2, 3));
    DeleteObject(firstObject);

    std::vector<KeyDef *> keys =
        LoadKeys("0, 0, 40, 30, LAUNCH, l, \"" + HostFile("tool.exe") + "\", 0\n" +
                 "0, 0, 40, 30, LAUNCH, l, \"" + HostFile("none.exe") + "\", 0\n" +
                 "0, 0, 40, 30, MACRO, m, \"Hello\", 0\n");
    ASSERT_EQ(keys.size(), 3u);
    std::vector<HBITMAP> faces;
    for (KeyDef *key : keys) {
        ASSERT_NE(key->image, nullptr);
        faces.push_back(key->image);
    }
    layouts_.reset();
    for (HBITMAP face : faces)
        EXPECT_EQ(GetObjectType(face), 0u);

    HICON lastIcon = nullptr;
    ASSERT_EQ(ExtractIconExA(twoSizesIcon.c_str(), 0, &lastIcon, nullptr, 1), 1u);
    DestroyIcon(lastIcon);
    HGDIOBJ lastObject = CreateSolidBrush(RGB(1, 2, 3));
    DeleteObject(lastObject);
    ASSERT_GT((ULONG_PTR)lastObject, (ULONG_PTR)faces.back());
    for (ULONG_PTR handle = (ULONG_PTR)firstObject + 1; handle < (ULONG_PTR)lastObject; handle++)
        ASSERT_EQ(GetObjectType((HGDIOBJ)handle), 0u) << std::hex << handle;
    for (ULONG_PTR handle = (ULONG_PTR)firstIcon + 1; handle < (ULONG_PTR)lastIcon; handle++) {
        ICONINFO info;
        ASSERT_FALSE(GetIconInfo((HICON)handle, &info)) << std::hex << handle;
    }
}

TEST_F(KeyFaces, ANullCatalogueReleasesNothing) {
    // The library keeps what it loaded, faces included, until it gets a catalogue back.
    std::vector<KeyDef *> keys = LoadKeys("0, 0, 40, 20, MACRO, m, \"abc\", 0\n");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(UnLoadKeyBoardsNames(nullptr), 0);
    EXPECT_EQ(GetObjectType(keys[0]->image), (DWORD)OBJ_BITMAP);
}

// A few faces side by side on blue: words, initials, a program's icon and a program's name.
TEST_F(KeyFaces, GoldenFaces) {
    std::filesystem::copy_file(twoSizesIcon, directory_.File("tool.ico"));
    WriteBytes(directory_.File("tool.exe"), "a program");
    std::vector<KeyDef *> keys = LoadKeys("0, 0, 44, 22, MACRO, m, \"Hello\", 0\n"
                                          "0, 0, 20, 22, MACRO, m, \"New York\", 0\n"
                                          "0, 0, 14, 22, MACRO, m, \"Word\", 0\n"
                                          "0, 0, 26, 22, LAUNCH, l, \"" +
                                          HostFile("tool.exe") + "\", 0\n" +
                                          "0, 0, 44, 22, LAUNCH, l, \"\\Windows\\notes.exe\", 0\n");
    ASSERT_EQ(keys.size(), 5u);
    int width = 1;
    for (KeyDef *key : keys) {
        ASSERT_NE(key->image, nullptr);
        width += key->width - 4 + 1;
    }
    Surface strip(width, 18 + 2, 0x4060A0u);
    int x = 1;
    for (KeyDef *key : keys) {
        Surface face = PixelsOf(key->image);
        for (int y = 0; y < face.height; y++) {
            for (int column = 0; column < face.width; column++)
                strip.At(x + column, 1 + y) = face.At(column, y);
        }
        x += face.width + 1;
    }
    ExpectMatchesGolden(strip, "key_faces_" + buildName);
}

} // namespace
