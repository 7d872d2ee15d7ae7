// Comparing key faces with golden PNG files under tests/data/layodex/golden/.
// With PENNAKEY_UPDATE_GOLDEN=1 in the environment the test writes the golden file instead.
#ifndef TESTS_LAYODEX_FACE_GOLDEN_H
#define TESTS_LAYODEX_FACE_GOLDEN_H

#include <gtest/gtest.h>

#include "engine/png_files.h"

#include <cstdlib>
#include <filesystem>
#include <string>

inline void ExpectMatchesGolden(const Surface &surface, const std::string &name) {
    const std::string path = std::string(LAYODEX_TEST_DATA) + "/golden/" + name + ".png";
    const char *update = std::getenv("PENNAKEY_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        ASSERT_TRUE(WriteSurfacePng(surface, path)) << path;
        return;
    }
    Surface golden;
    ASSERT_TRUE(ReadSurfacePng(path, golden)) << "missing golden file " << path;
    ASSERT_EQ(surface.width, golden.width) << name;
    ASSERT_EQ(surface.height, golden.height) << name;
    int differences = 0;
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            if (surface.At(x, y) != golden.At(x, y) && differences++ == 0) {
                ADD_FAILURE() << name << ": first difference at " << x << "," << y << ": drew "
                              << std::hex << surface.At(x, y) << ", golden " << golden.At(x, y);
            }
        }
    }
    if (differences > 0) {
        const std::string actual =
            (std::filesystem::temp_directory_path() / (name + ".actual.png")).string();
        WriteSurfacePng(surface, actual);
        ADD_FAILURE() << name << ": " << differences << " pixels differ; drawn picture in "
                      << actual;
    }
}

#endif
