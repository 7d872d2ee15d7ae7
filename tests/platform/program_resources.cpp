// The test program's resources, handed over as a program's resources.cpp does.
#define UNICODE
#include <resource_tables.h>

#include "embedded_files.h"

namespace {

const RESOURCE_ENTRY resources[] = {
    {RT_BITMAP, MAKEINTRESOURCE(101), res_rgb_24bit_top_down_bmp, res_rgb_24bit_top_down_bmpSize},
    {RT_BITMAP, u"Palette", res_palette_8bit_bottom_up_bmp, res_palette_8bit_bottom_up_bmpSize},
    // The same name again: the first one is the one found.
    {RT_BITMAP, u"PALETTE", res_rgb_24bit_top_down_bmp, res_rgb_24bit_top_down_bmpSize},
    {RT_BITMAP, u"Broken", res_two_sizes_ico, res_two_sizes_icoSize},
    {RT_GROUP_ICON, MAKEINTRESOURCE(1), res_two_sizes_ico, res_two_sizes_icoSize},
    {RT_GROUP_ICON, u"Checker", res_checker_48_ico, res_checker_48_icoSize},
    {RT_GROUP_ICON, u"Broken", res_rgb_24bit_top_down_bmp, res_rgb_24bit_top_down_bmpSize},
    {RT_RCDATA, u"Empty", res_empty_bin, res_empty_binSize},
    {u"NOTES", MAKEINTRESOURCE(7), res_checker_48_ico, res_checker_48_icoSize},
};

const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

} // namespace
