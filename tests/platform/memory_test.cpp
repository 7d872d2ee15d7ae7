#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>

TEST(LocalHeap, ZeroInitFillsWithZeros) {
    for (UINT flags : {static_cast<UINT>(LMEM_ZEROINIT), static_cast<UINT>(LPTR)}) {
        // Dirty the heap first so that a block that happens to be fresh proves nothing.
        void *dirty = std::malloc(4096);
        std::memset(dirty, 0xAB, 4096);
        std::free(dirty);
        auto *block = static_cast<unsigned char *>(LocalAlloc(flags, 4096));
        ASSERT_NE(block, nullptr);
        for (int i = 0; i < 4096; ++i) {
            ASSERT_EQ(block[i], 0) << "byte " << i << " flags " << flags;
        }
        EXPECT_EQ(LocalFree(block), nullptr);
    }
}

TEST(LocalHeap, SharesTheRunTimeHeap) {
    // Memory crosses between the families as ported programs expect; the sanitizer build
    // reports a mismatch here.
    void *local = LocalAlloc(LMEM_FIXED, 16);
    ASSERT_NE(local, nullptr);
    std::free(local);
    WCHAR *copy = _wcsdup(u"text");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(LocalFree(copy), nullptr);
}

TEST(LocalHeap, ZeroBytesGiveADistinctBlock) {
    void *first = LocalAlloc(LPTR, 0);
    void *second = LocalAlloc(LPTR, 0);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    LocalFree(first);
    LocalFree(second);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}
