#include <gtest/gtest.h>

#include "gdi/icon_loading.h"
#include "gdi/icons.h"
#include "gdi_canvas.h"
#include "icon_builder.h"
#include "kernel/host_paths.h"
#include "temp_folder.h"

#include <windows.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string dataFolder = PLATFORM_TEST_DATA;
const std::string moduleFolder = PLATFORM_TEST_MODULE_DIR;
const std::string twoSizes = dataFolder + "/icons/two_sizes.ico";
const std::string checker = dataFolder + "/icons/checker_48.ico";
const std::string testModule = moduleFolder + "/test_module.dll";

const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF, black = 0,
               gray = 0x808080;

HINSTANCE Program() {
    return GetModuleHandleW(nullptr);
}

// The size GetIconInfo tells, through its colour bitmap.
SIZE IconSize(HICON icon) {
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) {
        return SIZE{-1, -1};
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

const IconImage &Image(HICON icon) {
    static const IconImage none;
    const auto found = FindIcon(icon);
    return found ? found->image : none;
}

HICON FromBytes(const std::string &file, int width = 0, int height = 0) {
    return IconFromFileBytes(reinterpret_cast<const unsigned char *>(file.data()), file.size(),
                             width, height, false);
}

IconPlan Plan(int32_t width, int32_t height, uint16_t bits, std::vector<uint32_t> pixels,
              std::vector<uint8_t> mask) {
    IconPlan plan;
    plan.width = width;
    plan.height = height;
    plan.bits = bits;
    plan.pixels = std::move(pixels);
    plan.mask = std::move(mask);
    return plan;
}

// Red and green opaque above; below, black where the mask keeps the destination, and blue where
// it keeps it and inverts it.
std::string TwoByTwo() {
    return BuildIcon({Plan(2, 2, 24, {red, green, black, blue}, {0, 0, 1, 1})});
}

class Icons : public testing::Test {
  protected:
    void TearDown() override {
        SetDeviceFolder("");
    }
};

TEST(SystemMetrics, IconSizes) {
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), 16);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(-1), 0);
}

TEST_F(Icons, LoadIconFromTheProgramsResourcesIsSharedAtTheSystemSize) {
    HICON icon = LoadIconW(Program(), MAKEINTRESOURCEW(1));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(IconSize(icon).cx, 32);
    EXPECT_EQ(IconSize(icon).cy, 32);
    EXPECT_EQ(LoadIconW(Program(), MAKEINTRESOURCEW(1)), icon);
    // A shared icon stays whatever DestroyIcon says.
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(IconSize(icon).cx, 32);
    // 48 x 48 is the only image, made 32 x 32.
    HICON scaled = LoadIconA(Program(), "checker");
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(IconSize(scaled).cx, 32);
    EXPECT_EQ(Image(scaled).color[0], black);
    EXPECT_EQ(Image(scaled).mask[0], 1);
    EXPECT_EQ(Image(scaled).mask[31 * 32 + 31], 0);
}

TEST_F(Icons, LoadIconRefusals) {
    EXPECT_EQ(LoadIconW(Program(), u"Broken"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));
    EXPECT_EQ(LoadIconW(Program(), MAKEINTRESOURCEW(2)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadIconW(Program(), nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // A NULL instance has the built-in icons only.
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
    EXPECT_EQ(LoadIconW(nullptr, u"Checker"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

class BuiltInIcons : public testing::TestWithParam<int> {};

TEST_P(BuiltInIcons, AreSharedPicturesAtTheSystemSize) {
    const LPCWSTR name = MAKEINTRESOURCEW(GetParam());
    HICON icon = LoadIconW(nullptr, name);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, name), icon);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(GetParam())), icon);
    EXPECT_EQ(IconSize(icon).cx, 32);
    EXPECT_EQ(IconSize(icon).cy, 32);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(IconSize(icon).cx, 32);
    // Something is drawn, and the corners are clear.
    const IconImage &image = Image(icon);
    EXPECT_EQ(image.mask.front(), 1);
    EXPECT_EQ(image.mask.back(), 1);
    EXPECT_EQ(image.mask[16 * 32 + 16], 0);
    HANDLE small = LoadImageW(nullptr, name, IMAGE_ICON, 16, 16, 0);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(IconSize(static_cast<HICON>(small)).cx, 16);
}

INSTANTIATE_TEST_SUITE_P(Icons, BuiltInIcons,
                         testing::Values(32512, 32513, 32514, 32515, 32516, 32517));

struct Sizing {
    const char *label;
    const std::string *file;
    int width;
    int height;
    UINT flags;
    int expectedWidth;
    int expectedHeight;
    uint32_t topLeftInside; // the colour at (1, 1)
};

class IconFileSizes : public testing::TestWithParam<Sizing> {};

TEST_P(IconFileSizes, TakeTheNearestImageAtTheSizeAsked) {
    const Sizing &c = GetParam();
    HANDLE icon = LoadImageA(nullptr, c.file->c_str(), IMAGE_ICON, c.width, c.height,
                             c.flags | LR_LOADFROMFILE);
    ASSERT_NE(icon, nullptr);
    const SIZE size = IconSize(static_cast<HICON>(icon));
    EXPECT_EQ(size.cx, c.expectedWidth);
    EXPECT_EQ(size.cy, c.expectedHeight);
    const IconImage &image = Image(static_cast<HICON>(icon));
    EXPECT_EQ(image.color[static_cast<size_t>(image.width) + 1], c.topLeftInside);
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(icon)));
}

INSTANTIATE_TEST_SUITE_P(
    Icons, IconFileSizes,
    testing::Values(
        // The large image: green above.
        Sizing{"own_size_near_the_system_one", &twoSizes, 0, 0, 0, 32, 32, green},
        Sizing{"default_size", &twoSizes, 0, 0, LR_DEFAULTSIZE, 32, 32, green},
        // The small image: red on the left, in a clear ring.
        Sizing{"small", &twoSizes, 16, 16, 0, 16, 16, red},
        Sizing{"between_takes_the_larger", &twoSizes, 24, 24, 0, 24, 24, green},
        Sizing{"one_side_given", &twoSizes, 16, 0, 0, 16, 32, green},
        Sizing{"stretched", &twoSizes, 64, 64, 0, 64, 64, black},
        Sizing{"only_image_own_size", &checker, 0, 0, 0, 48, 48, black},
        Sizing{"only_image_default_size", &checker, 0, 0, LR_DEFAULTSIZE, 32, 32, black}),
    [](const testing::TestParamInfo<Sizing> &info) { return std::string(info.param.label); });

TEST_F(Icons, LoadImageFromResources) {
    HANDLE small = LoadImageW(Program(), MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(IconSize(static_cast<HICON>(small)).cx, 16);
    HANDLE other = LoadImageA(Program(), "#1", IMAGE_ICON, 16, 16, 0);
    EXPECT_NE(other, small);
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(small)));
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(other)));
    EXPECT_FALSE(DestroyIcon(static_cast<HICON>(small)));
    HANDLE shared = LoadImageW(Program(), u"Checker", IMAGE_ICON, 20, 20, LR_SHARED);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(LoadImageW(Program(), u"CHECKER", IMAGE_ICON, 20, 20, LR_SHARED), shared);
    EXPECT_NE(LoadImageW(Program(), u"CHECKER", IMAGE_ICON, 21, 20, LR_SHARED), shared);
}

TEST_F(Icons, LoadImageRefusals) {
    const char *icon = twoSizes.c_str();
    EXPECT_EQ(LoadImageA(nullptr, icon, IMAGE_ICON, -1, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LoadImageA(nullptr, icon, IMAGE_ICON, 100000, 100000, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(LoadImageA(nullptr, (dataFolder + "/icons/missing.ico").c_str(), IMAGE_ICON, 0, 0,
                         LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(LoadImageA(nullptr, (dataFolder + "/rgb_24bit_top_down.bmp").c_str(), IMAGE_ICON, 0,
                         0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));
    EXPECT_EQ(LoadImageW(Program(), MAKEINTRESOURCEW(1), IMAGE_ICON, -16, 16, 0), nullptr);
    EXPECT_EQ(LoadImageW(Program(), MAKEINTRESOURCEW(1), IMAGE_CURSOR, 0, 0, 0), nullptr);
}

TEST_F(Icons, DestroyIconOfInvalidHandles) {
    Canvas canvas(2, 2);
    HANDLE bitmap = canvas.Bitmap();
    int local = 0;
    for (HICON handle : {static_cast<HICON>(nullptr), reinterpret_cast<HICON>(&local),
                         reinterpret_cast<HICON>(bitmap),
                         reinterpret_cast<HICON>(uintptr_t{0x20003 + 4 * 100000})}) {
        SetLastError(0);
        EXPECT_FALSE(DestroyIcon(handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
        ICONINFO info;
        EXPECT_FALSE(GetIconInfo(handle, &info));
    }
    HICON icon = FromBytes(TwoByTwo());
    ASSERT_NE(icon, nullptr);
    // Icons are not GDI objects.
    EXPECT_FALSE(DeleteObject(icon));
    EXPECT_EQ(GetObjectType(icon), 0u);
    EXPECT_FALSE(GetIconInfo(icon, nullptr));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
}

TEST_F(Icons, IconInfoGivesTheColoursAndTheMask) {
    HICON icon = FromBytes(TwoByTwo());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 1u);
    EXPECT_EQ(info.yHotspot, 1u);
    const auto color = FindGdiObjectAs<BitmapObject>(info.hbmColor);
    const auto mask = FindGdiObjectAs<BitmapObject>(info.hbmMask);
    ASSERT_TRUE(color);
    ASSERT_TRUE(mask);
    EXPECT_EQ(color->pixels, (std::vector<uint32_t>{red, green, black, blue}));
    EXPECT_EQ(mask->pixels, (std::vector<uint32_t>{black, black, white, white}));
    BITMAP described{};
    GetObjectW(info.hbmMask, sizeof(described), &described);
    EXPECT_EQ(described.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(info.hbmColor));
    EXPECT_TRUE(DeleteObject(info.hbmMask));
    EXPECT_TRUE(DestroyIcon(icon));
}

struct Drawing {
    const char *label;
    UINT flags;
    std::vector<uint32_t> drawn; // the 2 x 2 at (1, 1)
};

class IconDrawing : public testing::TestWithParam<Drawing> {};

TEST_P(IconDrawing, TouchesOnlyTheIconsPixels) {
    Canvas canvas(4, 4, RGB(128, 128, 128));
    HICON icon = FromBytes(TwoByTwo());
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 1, 1, icon, 0, 0, 0, nullptr, GetParam().flags));
    const Surface &pixels = canvas.Pixels();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
            const uint32_t expected =
                inside ? GetParam().drawn[static_cast<size_t>((y - 1) * 2 + x - 1)] : gray;
            EXPECT_EQ(pixels.At(x, y), expected) << x << "," << y;
        }
    }
    DestroyIcon(icon);
}

INSTANTIATE_TEST_SUITE_P(
    DrawIconEx, IconDrawing,
    testing::Values(
        // The mask keeps the destination below; where the colour is not black it inverts it.
        Drawing{"normal", DI_NORMAL, {red, green, gray, gray ^ blue}},
        Drawing{"image", DI_IMAGE, {red, green, black, blue}},
        Drawing{"mask", DI_MASK, {black, black, white, white}},
        Drawing{"nothing", 0, {gray, gray, gray, gray}}),
    [](const testing::TestParamInfo<Drawing> &info) { return std::string(info.param.label); });

TEST(DrawIconEx, StretchesAndShrinks) {
    Canvas canvas(4, 4, RGB(128, 128, 128));
    HICON icon = FromBytes(TwoByTwo());
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL));
    const std::vector<uint32_t> quarters = {red, green, gray, gray ^ blue};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(canvas.Pixels().At(x, y), quarters[static_cast<size_t>(y / 2 * 2 + x / 2)])
                << x << "," << y;
        }
    }
    // One pixel samples the image at its centre: the bottom right.
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 1, 1, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(canvas.Pixels().At(0, 0), blue);
    EXPECT_EQ(canvas.Pixels().At(1, 0), red);
    DestroyIcon(icon);
}

TEST(DrawIconEx, AlphaBlendsAndLeavesTheMaskAside) {
    Canvas canvas(3, 1, RGB(128, 128, 128));
    HICON icon = FromBytes(BuildIcon(
        {Plan(3, 1, 32, {0xFF000000 | red, 0x80000000 | green, 0x00000000 | blue}, {1, 0, 0})}));
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(canvas.Pixels().At(0, 0), red);
    EXPECT_EQ(canvas.Pixels().At(1, 0), 0x40C040u);
    EXPECT_EQ(canvas.Pixels().At(2, 0), gray);
    // The image alone is copied as it is.
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(canvas.Pixels().At(2, 0), blue);
    DestroyIcon(icon);
}

TEST(DrawIconEx, ClipsAtTheEdges) {
    Canvas canvas(4, 4, RGB(128, 128, 128));
    HICON icon = FromBytes(TwoByTwo());
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), -1, -1, icon, 0, 0, 0, nullptr, DI_IMAGE));
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 3, 3, icon, 0, 0, 0, nullptr, DI_IMAGE));
    const Surface &pixels = canvas.Pixels();
    EXPECT_EQ(pixels.At(0, 0), blue);
    EXPECT_EQ(pixels.At(3, 3), red);
    int drawn = 0;
    for (uint32_t pixel : pixels.pixels) {
        drawn += pixel != gray ? 1 : 0;
    }
    EXPECT_EQ(drawn, 2);
    // Far off, or enormous: nothing breaks.
    EXPECT_TRUE(DrawIconEx(canvas.Dc(), INT_MAX, INT_MIN, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_TRUE(
        DrawIconEx(canvas.Dc(), INT_MIN, INT_MIN, icon, INT_MAX, INT_MAX, 0, nullptr, DI_NORMAL));
    DestroyIcon(icon);
}

TEST(DrawIconEx, DefaultSizeAndDrawIcon) {
    Canvas canvas(40, 40, RGB(128, 128, 128));
    HICON icon = FromBytes(TwoByTwo());
    ASSERT_TRUE(DrawIcon(canvas.Dc(), 0, 0, icon));
    const Surface &pixels = canvas.Pixels();
    EXPECT_EQ(pixels.At(0, 0), red);
    EXPECT_EQ(pixels.At(16, 15), green);
    EXPECT_EQ(pixels.At(31, 31), gray ^ blue);
    EXPECT_EQ(pixels.At(32, 0), gray);
    EXPECT_EQ(pixels.At(0, 32), gray);
    // A size given wins over DI_DEFAULTSIZE.
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, 4, 0, 0, nullptr, DI_IMAGE | DI_DEFAULTSIZE));
    EXPECT_EQ(pixels.At(3, 0), green);
    EXPECT_EQ(pixels.At(3, 31), blue);
    EXPECT_EQ(pixels.At(4, 0), red); // what DrawIcon drew
    DestroyIcon(icon);
}

TEST(DrawIconEx, MonochromeDestinationsGetBlackAndWhite) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    HICON icon = FromBytes(BuildIcon({Plan(2, 2, 24, {red, white, 0xC0C0C0, black}, {})}));
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    const auto surface = FindGdiObjectAs<BitmapObject>(bitmap);
    EXPECT_EQ(surface->pixels, (std::vector<uint32_t>{black, white, white, black}));
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyIcon(icon);
}

TEST(DrawIconEx, Refusals) {
    Canvas canvas(2, 2);
    HICON icon = FromBytes(TwoByTwo());
    EXPECT_FALSE(DrawIconEx(nullptr, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DrawIconEx(canvas.Dc(), 0, 0, icon, -2, 2, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(DrawIcon(canvas.Dc(), 0, 0, nullptr));
    DestroyIcon(icon);
}

struct Counted {
    const char *label;
    std::string file;
    UINT icons;
};

class IconCounts : public testing::TestWithParam<Counted> {};

TEST_P(IconCounts, AnswerHowManyIconsAFileHas) {
    EXPECT_EQ(ExtractIconExA(GetParam().file.c_str(), -1, nullptr, nullptr, 0), GetParam().icons);
}

INSTANTIATE_TEST_SUITE_P(
    ExtractIconEx, IconCounts,
    testing::Values(Counted{"icon_file", twoSizes, 1}, Counted{"one_image", checker, 1},
                    Counted{"module", testModule, 2},
                    Counted{"missing", dataFolder + "/icons/missing.ico", 0},
                    Counted{"bitmap", dataFolder + "/rgb_24bit_top_down.bmp", 0},
                    Counted{"empty", dataFolder + "/empty.bin", 0},
                    Counted{"folder", dataFolder, 0},
                    // A module without icons, and a module file that does not load.
                    Counted{"platform", moduleFolder + "/../../platform/libplatform.so", 0},
                    Counted{"script", dataFolder + "/icons/make_seed_icons.py", 0}),
    [](const testing::TestParamInfo<Counted> &info) { return std::string(info.param.label); });

TEST_F(Icons, ExtractFromAnIconFileMakesEachSizeExactly) {
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(ExtractIconExA(checker.c_str(), 0, &large, &small, 1), 1u);
    EXPECT_EQ(IconSize(large).cx, 32);
    EXPECT_EQ(IconSize(large).cy, 32);
    EXPECT_EQ(IconSize(small).cx, 16);
    EXPECT_EQ(IconSize(small).cy, 16);
    EXPECT_TRUE(DestroyIcon(large));
    EXPECT_TRUE(DestroyIcon(small));
    // The images nearest each size: the large one green above, the small one red on the left.
    ASSERT_EQ(ExtractIconExA(twoSizes.c_str(), 0, &large, &small, 1), 1u);
    EXPECT_EQ(Image(large).color[32 + 1], green);
    EXPECT_EQ(Image(small).color[16 + 1], red);
    DestroyIcon(large);
    DestroyIcon(small);
    // One array is enough.
    ASSERT_EQ(ExtractIconExA(twoSizes.c_str(), 0, nullptr, &small, 1), 1u);
    EXPECT_EQ(IconSize(small).cx, 16);
    DestroyIcon(small);
}

TEST_F(Icons, ExtractFillsNothingWhenThereIsNothing) {
    HICON large[2] = {reinterpret_cast<HICON>(1), reinterpret_cast<HICON>(1)};
    HICON small[2] = {reinterpret_cast<HICON>(1), reinterpret_cast<HICON>(1)};
    const std::string missing = dataFolder + "/icons/missing.ico";
    EXPECT_EQ(ExtractIconExA(missing.c_str(), 0, large, small, 2), 0u);
    EXPECT_EQ(ExtractIconExA(twoSizes.c_str(), 1, large, small, 2), 0u);
    EXPECT_EQ(ExtractIconExA(twoSizes.c_str(), 0, large, small, 0), 0u);
    EXPECT_EQ(ExtractIconExA(testModule.c_str(), 2, large, small, 2), 0u);
    EXPECT_EQ(ExtractIconExA(testModule.c_str(), -99, large, small, 2), 0u);
    EXPECT_EQ(ExtractIconExA((dataFolder + "/empty.bin").c_str(), 0, large, small, 2), 0u);
    EXPECT_EQ(ExtractIconExA(nullptr, 0, large, small, 2), 0u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(large[i], reinterpret_cast<HICON>(1));
        EXPECT_EQ(small[i], reinterpret_cast<HICON>(1));
    }
    // Neither array: nothing to extract.
    EXPECT_EQ(ExtractIconExA(twoSizes.c_str(), 0, nullptr, nullptr, 1), 0u);
}

TEST_F(Icons, ExtractFromAModuleInResourceOrder) {
    HICON large[3] = {};
    HICON small[3] = {};
    // Named icons come before numbered ones: "Checker", then 5.
    ASSERT_EQ(ExtractIconExA(testModule.c_str(), 0, large, small, 3), 2u);
    EXPECT_EQ(large[2], nullptr);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(IconSize(large[i]).cx, 32);
        EXPECT_EQ(IconSize(small[i]).cx, 16);
    }
    EXPECT_EQ(Image(large[0]).mask[0], 1);
    EXPECT_EQ(Image(large[0]).color[31 * 32 + 31], black);
    EXPECT_EQ(Image(large[1]).color[32 + 1], green);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(DestroyIcon(large[i]));
        EXPECT_TRUE(DestroyIcon(small[i]));
    }
    // From the second on, and by resource id.
    ASSERT_EQ(ExtractIconExA(testModule.c_str(), 1, large, nullptr, 3), 1u);
    EXPECT_EQ(Image(large[0]).color[32 + 1], green);
    DestroyIcon(large[0]);
    ASSERT_EQ(ExtractIconExA(testModule.c_str(), -5, large, nullptr, 1), 1u);
    EXPECT_EQ(Image(large[0]).color[32 + 1], green);
    DestroyIcon(large[0]);
    // The module was only borrowed, and the icons outlive it.
    EXPECT_EQ(GetModuleHandleA("test_module.dll"), nullptr);
}

TEST_F(Icons, ExtractTakesDevicePaths) {
    SetDeviceFolder(dataFolder);
    EXPECT_EQ(ExtractIconExW(u"\\icons\\two_sizes.ico", -1, nullptr, nullptr, 0), 1u);
    EXPECT_EQ(ExtractIconExW(u"icons/checker_48.ico", -1, nullptr, nullptr, 0), 1u);
    EXPECT_EQ(ExtractIconExW(u"\\icons\\missing.ico", -1, nullptr, nullptr, 0), 0u);
    SetDeviceFolder(moduleFolder);
    EXPECT_EQ(ExtractIconExW(u"\\test_module.dll", -1, nullptr, nullptr, 0), 2u);
    HICON large = nullptr;
    ASSERT_EQ(ExtractIconExW(u"\\test_module.dll", -5, &large, nullptr, 1), 1u);
    EXPECT_TRUE(DestroyIcon(large));
}

// A program file carries its icon in an .ico file of the same base name beside it.
TEST_F(Icons, AProgramFileHasTheIconBesideIt) {
    TempFolder folder;
    const std::string icon = folder.Join("tool.ico");
    std::filesystem::copy_file(twoSizes, icon);
    folder.Write("tool.exe", "a program");
    folder.Write("tool", "no extension");
    std::filesystem::copy_file(twoSizes, folder.Join("lonely.ico"));
    std::filesystem::create_directory(folder.Join("box"));
    std::filesystem::copy_file(twoSizes, folder.Join("box.ico"));
    std::filesystem::copy_file(testModule, folder.Join("module.dll"));
    std::filesystem::copy_file(checker, folder.Join("module.ico"));
    folder.Write("broken.exe", "a program");
    folder.Write("broken.ico", "not an icon");

    EXPECT_EQ(ExtractIconExA(folder.Join("tool.exe").c_str(), -1, nullptr, nullptr, 0), 1u);
    EXPECT_EQ(ExtractIconExA(folder.Join("tool").c_str(), -1, nullptr, nullptr, 0), 1u);
    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(ExtractIconExA(folder.Join("tool.exe").c_str(), 0, &large, &small, 1), 1u);
    EXPECT_EQ(Image(large).color[32 + 1], green);
    EXPECT_EQ(Image(small).color[16 + 1], red);
    EXPECT_TRUE(DestroyIcon(large));
    EXPECT_TRUE(DestroyIcon(small));
    // Only the first icon exists.
    large = small = nullptr;
    EXPECT_EQ(ExtractIconExA(folder.Join("tool.exe").c_str(), 1, &large, &small, 1), 0u);

    // A missing program, a folder and an unreadable icon have none; a module's own icons win.
    EXPECT_EQ(ExtractIconExA(folder.Join("lonely.exe").c_str(), -1, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(ExtractIconExA(folder.Join("box").c_str(), -1, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(ExtractIconExA(folder.Join("broken.exe").c_str(), 0, &large, &small, 1), 0u);
    EXPECT_EQ(large, nullptr);
    EXPECT_EQ(small, nullptr);
    EXPECT_EQ(ExtractIconExA(folder.Join("module.dll").c_str(), -1, nullptr, nullptr, 0), 2u);

    // Device paths too; the extension is the last dot's of the file's own name.
    SetDeviceFolder(folder.Path());
    EXPECT_EQ(ExtractIconExW(u"\\tool.exe", -1, nullptr, nullptr, 0), 1u);
    std::filesystem::create_directory(folder.Join("box.d"));
    folder.Write("box.d/tool", "a program");
    std::filesystem::copy_file(twoSizes, folder.Join("box.d/tool.ico"));
    EXPECT_EQ(ExtractIconExW(u"\\box.d\\tool", -1, nullptr, nullptr, 0), 1u);
    ASSERT_EQ(ExtractIconExW(u"\\tool.exe", 0, nullptr, &small, 1), 1u);
    EXPECT_EQ(Image(small).color[16 + 1], red);
    EXPECT_TRUE(DestroyIcon(small));
}

} // namespace
