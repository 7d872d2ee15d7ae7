#include <gtest/gtest.h>

#include "gdi/gdi_objects.h"

#include <windows.h>

#include <string>

namespace {

const std::string moduleFolder = PLATFORM_TEST_MODULE_DIR;
const std::string dataFolder = PLATFORM_TEST_DATA;

HINSTANCE Program() {
    return GetModuleHandleW(nullptr);
}

// The pixels of a bitmap as loaded from its file, to compare a resource's with.
std::vector<uint32_t> FilePixels(const char *name) {
    HANDLE image =
        LoadImageA(nullptr, (dataFolder + "/" + name).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    const auto bitmap = FindGdiObjectAs<BitmapObject>(image);
    std::vector<uint32_t> pixels = bitmap ? bitmap->pixels : std::vector<uint32_t>{};
    DeleteObject(image);
    return pixels;
}

struct Loaded {
    const char *label;
    HBITMAP (*load)();
    const char *file;
    int width;
    int height;
};

class BitmapResources : public testing::TestWithParam<Loaded> {};

TEST_P(BitmapResources, DecodeTheEmbeddedFile) {
    const Loaded &c = GetParam();
    HBITMAP bitmap = c.load();
    ASSERT_NE(bitmap, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectW(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    const auto object = FindGdiObjectAs<BitmapObject>(bitmap);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->pixels, FilePixels(c.file));
    EXPECT_TRUE(DeleteObject(bitmap));
}

INSTANTIATE_TEST_SUITE_P(
    LoadBitmap, BitmapResources,
    testing::Values(Loaded{"by_id", [] { return LoadBitmapW(Program(), MAKEINTRESOURCEW(101)); },
                           "rgb_24bit_top_down.bmp", 3, 2},
                    Loaded{"by_name", [] { return LoadBitmapA(Program(), "palette"); },
                           "palette_8bit_bottom_up.bmp", 4, 3},
                    Loaded{"through_load_image",
                           [] {
                               return static_cast<HBITMAP>(LoadImageW(
                                   Program(), u"#101", IMAGE_BITMAP, 3, 2, LR_DEFAULTCOLOR));
                           },
                           "rgb_24bit_top_down.bmp", 3, 2},
                    Loaded{"through_load_image_narrow",
                           [] {
                               return static_cast<HBITMAP>(LoadImageA(
                                   Program(), "Palette", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
                           },
                           "palette_8bit_bottom_up.bmp", 4, 3}),
    [](const testing::TestParamInfo<Loaded> &info) { return std::string(info.param.label); });

struct Refused {
    const char *label;
    HANDLE (*load)();
    DWORD error;
};

class BitmapResourceRefusals : public testing::TestWithParam<Refused> {};

TEST_P(BitmapResourceRefusals, FailWithTheReason) {
    SetLastError(0);
    EXPECT_EQ(GetParam().load(), nullptr);
    EXPECT_EQ(GetLastError(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    LoadBitmap, BitmapResourceRefusals,
    testing::Values(
        Refused{"missing", []() -> HANDLE { return LoadBitmapW(Program(), MAKEINTRESOURCEW(7)); },
                ERROR_RESOURCE_NAME_NOT_FOUND},
        Refused{"not_a_bitmap", []() -> HANDLE { return LoadBitmapW(Program(), u"Broken"); },
                ERROR_FILE_INVALID},
        // A NULL instance asks for the system's bitmaps, and there are none.
        Refused{"system_bitmap",
                []() -> HANDLE { return LoadBitmapW(nullptr, MAKEINTRESOURCEW(101)); },
                ERROR_RESOURCE_NAME_NOT_FOUND},
        Refused{"no_name", []() -> HANDLE { return LoadBitmapA(Program(), nullptr); },
                ERROR_INVALID_PARAMETER},
        // Bitmaps are not stretched.
        Refused{"other_size",
                [] { return LoadImageW(Program(), MAKEINTRESOURCEW(101), IMAGE_BITMAP, 6, 4, 0); },
                ERROR_INVALID_PARAMETER},
        Refused{"cursor",
                [] { return LoadImageW(Program(), MAKEINTRESOURCEW(101), IMAGE_CURSOR, 0, 0, 0); },
                ERROR_INVALID_PARAMETER},
        Refused{"file_named_by_id",
                [] {
                    return LoadImageW(Program(), MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0,
                                      LR_LOADFROMFILE);
                },
                ERROR_INVALID_PARAMETER}),
    [](const testing::TestParamInfo<Refused> &info) { return std::string(info.param.label); });

TEST(LoadBitmap, FromADllsResources) {
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(101));
    ASSERT_NE(bitmap, nullptr);
    // The bitmap is a copy: it outlives the module.
    EXPECT_TRUE(FreeLibrary(module));
    const auto object = FindGdiObjectAs<BitmapObject>(bitmap);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->pixels, FilePixels("rgb_24bit_top_down.bmp"));
    EXPECT_TRUE(DeleteObject(bitmap));
}

} // namespace
