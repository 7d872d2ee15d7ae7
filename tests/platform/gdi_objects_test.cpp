#include <gtest/gtest.h>

#include "gdi/gdi_objects.h"

#include <windows.h>

#include <cstring>

namespace {

TEST(GdiObjects, BitmapDescribesItself) {
    HBITMAP bitmap = CreateBitmapObject(7, 3, std::vector<uint32_t>(21, 0x123456));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectW(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    BITMAP info;
    std::memset(&info, 0xCC, sizeof(info));
    EXPECT_EQ(GetObjectW(bitmap, sizeof(info), &info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(info.bmType, 0);
    EXPECT_EQ(info.bmWidth, 7);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmWidthBytes, 28);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr);
    // Too small a buffer is left alone.
    unsigned char small[sizeof(BITMAP) - 1];
    std::memset(small, 0xCC, sizeof(small));
    EXPECT_EQ(GetObjectA(bitmap, sizeof(small), small), 0);
    EXPECT_EQ(small[0], 0xCC);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, DeletedAndMadeUpHandlesFail) {
    HBITMAP bitmap = CreateBitmapObject(1, 1, {0});
    EXPECT_TRUE(DeleteObject(bitmap));
    HBITMAP next = CreateBitmapObject(1, 1, {0});
    EXPECT_NE(next, bitmap);
    int local = 0;
    const HGDIOBJ bad[] = {bitmap, nullptr, &local, INVALID_HANDLE_VALUE};
    for (HGDIOBJ handle : bad) {
        EXPECT_FALSE(DeleteObject(handle));
        EXPECT_EQ(GetObjectType(handle), 0u);
        BITMAP info;
        EXPECT_EQ(GetObjectA(handle, sizeof(info), &info), 0);
    }
    EXPECT_TRUE(DeleteObject(next));
}

TEST(GdiObjects, KernelHandlesAreNotGdiObjects) {
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(GetObjectType(mapping), 0u);
    EXPECT_FALSE(DeleteObject(mapping));
    EXPECT_TRUE(CloseHandle(mapping));
}

} // namespace
