// The test DLL's resources: two icons for ExtractIconEx to find, and a bitmap.
#define UNICODE
#include <resource_tables.h>

#include "embedded_files.h"

namespace {

const RESOURCE_ENTRY resources[] = {
    {RT_GROUP_ICON, MAKEINTRESOURCE(5), res_two_sizes_ico, res_two_sizes_icoSize},
    {RT_BITMAP, MAKEINTRESOURCE(101), res_rgb_24bit_top_down_bmp, res_rgb_24bit_top_down_bmpSize},
    {RT_GROUP_ICON, u"Checker", res_checker_48_ico, res_checker_48_icoSize},
};

const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

} // namespace
