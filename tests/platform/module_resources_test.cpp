#include <gtest/gtest.h>

#include <resource_tables.h>

#include "kernel/scheduler.h"
#include "embedded_files.h"

#include <dlfcn.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string moduleFolder = PLATFORM_TEST_MODULE_DIR;

std::string DataFile(const std::string &name) {
    std::ifstream file(std::string(PLATFORM_TEST_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

LPCWSTR Id(int id) {
    return MAKEINTRESOURCEW(id);
}

// The bytes behind a resource handle, through LoadResource and LockResource.
std::string Bytes(HMODULE module, HRSRC resource) {
    const void *data = LockResource(LoadResource(module, resource));
    if (data == nullptr) {
        return "(none)";
    }
    return std::string(static_cast<const char *>(data), SizeofResource(module, resource));
}

HMODULE Program() {
    Dl_info info;
    dladdr(reinterpret_cast<void *>(&Program), &info);
    return static_cast<HMODULE>(info.dli_fbase);
}

TEST(ModuleHandles, ProgramModuleIsTheExecutable) {
    EXPECT_EQ(GetModuleHandleW(nullptr), Program());
    EXPECT_EQ(GetModuleHandleA(nullptr), Program());
}

TEST(ModuleHandles, LoadedModulesByNameOrPath) {
    EXPECT_EQ(GetModuleHandleA("test_module.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetModuleHandleA("test_module.dll"), module);
    // Without an extension the module's one is meant, and case does not matter.
    EXPECT_EQ(GetModuleHandleW(u"TEST_MODULE"), module);
    EXPECT_EQ(GetModuleHandleA((moduleFolder + "/test_module.dll").c_str()), module);
    EXPECT_EQ(GetModuleHandleA((moduleFolder + "/test_module").c_str()), module);
    EXPECT_NE(GetModuleHandleA("libplatform.so"), nullptr);
    EXPECT_NE(GetModuleHandleA("libplatform.so"), module);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("test_module.dll"), nullptr);
}

HMODULE programModule;
bool programFoundItsIcon;

int WINAPI LookIntoOwnModule(HINSTANCE, HINSTANCE, LPWSTR, int) {
    programModule = GetModuleHandleW(nullptr);
    programFoundItsIcon = FindResourceW(nullptr, Id(5), Id(14)) != nullptr;
    return 0;
}

TEST(ModuleHandles, ADeviceProgramsOwnModuleIsItsFile) {
    ResetDevice();
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    StartProgram(u"\\test_module.dll", LookIntoOwnModule, module, u"");
    RunUntilIdle();
    EXPECT_EQ(programModule, module);
    EXPECT_TRUE(programFoundItsIcon);
    // Back on the host's own stack the program is the executable again.
    EXPECT_EQ(GetModuleHandleW(nullptr), Program());
    EXPECT_TRUE(FreeLibrary(module));
    ResetDevice();
}

TEST(EmbeddedFiles, HoldTheFilesBytes) {
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(res_two_sizes_ico), res_two_sizes_icoSize),
              DataFile("icons/two_sizes.ico"));
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(res_rgb_24bit_top_down_bmp),
                          res_rgb_24bit_top_down_bmpSize),
              DataFile("rgb_24bit_top_down.bmp"));
    EXPECT_EQ(res_empty_binSize, 0u);
}

struct Found {
    const char *label;
    LPCWSTR type;
    LPCWSTR name;
    const char *file; // under the test data folder; empty for no bytes
};

class ResourceLookup : public testing::TestWithParam<Found> {};

TEST_P(ResourceLookup, FindsTheBytesInTheProgram) {
    const Found &c = GetParam();
    HRSRC resource = FindResourceW(nullptr, c.name, c.type);
    ASSERT_NE(resource, nullptr);
    // A NULL module is the program's.
    EXPECT_EQ(FindResourceW(GetModuleHandleW(nullptr), c.name, c.type), resource);
    const std::string expected = c.file[0] != 0 ? DataFile(c.file) : std::string();
    EXPECT_EQ(SizeofResource(nullptr, resource), expected.size());
    EXPECT_EQ(Bytes(nullptr, resource), expected);
    EXPECT_EQ(Bytes(GetModuleHandleW(nullptr), resource), expected);
}

INSTANTIATE_TEST_SUITE_P(
    ModuleResources, ResourceLookup,
    testing::Values(Found{"bitmap_by_id", Id(2), Id(101), "rgb_24bit_top_down.bmp"},
                    Found{"id_as_a_number_string", Id(2), u"#101", "rgb_24bit_top_down.bmp"},
                    // The first of two entries of one name, in whatever case.
                    Found{"name_in_another_case", Id(2), u"pALETTE", "palette_8bit_bottom_up.bmp"},
                    Found{"icon_by_id", Id(14), Id(1), "icons/two_sizes.ico"},
                    Found{"icon_by_name", Id(14), u"CHECKER", "icons/checker_48.ico"},
                    Found{"type_by_name", u"notes", Id(7), "icons/checker_48.ico"},
                    Found{"type_by_name_and_number_string", u"Notes", u"#7",
                          "icons/checker_48.ico"},
                    Found{"no_bytes", Id(10), u"EMPTY", ""}),
    [](const testing::TestParamInfo<Found> &info) { return std::string(info.param.label); });

struct Missing {
    const char *label;
    HMODULE module;
    LPCWSTR type;
    LPCWSTR name;
    DWORD error;
};

int notAModule;

class ResourceMisses : public testing::TestWithParam<Missing> {};

TEST_P(ResourceMisses, FailWithTheReason) {
    const Missing &c = GetParam();
    SetLastError(0);
    EXPECT_EQ(FindResourceW(c.module, c.name, c.type), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    ModuleResources, ResourceMisses,
    testing::Values(
        Missing{"unknown_id", nullptr, Id(2), Id(102), ERROR_RESOURCE_NAME_NOT_FOUND},
        Missing{"unknown_name", nullptr, Id(2), u"Palettes", ERROR_RESOURCE_NAME_NOT_FOUND},
        Missing{"wrong_type", nullptr, Id(14), u"Palette", ERROR_RESOURCE_NAME_NOT_FOUND},
        Missing{"id_not_a_name", nullptr, u"NOTES", u"7", ERROR_RESOURCE_NAME_NOT_FOUND},
        Missing{"bare_hash", nullptr, Id(2), u"#", ERROR_RESOURCE_NAME_NOT_FOUND},
        Missing{"number_too_large", nullptr, Id(2), u"#65637", ERROR_RESOURCE_NAME_NOT_FOUND},
        Missing{"unknown_type", nullptr, Id(5), Id(1), ERROR_RESOURCE_TYPE_NOT_FOUND},
        Missing{"unknown_type_name", nullptr, u"NOTE", Id(7), ERROR_RESOURCE_TYPE_NOT_FOUND},
        Missing{"not_a_module", reinterpret_cast<HMODULE>(&notAModule), Id(2), Id(101),
                ERROR_RESOURCE_DATA_NOT_FOUND},
        Missing{"no_name", nullptr, Id(2), nullptr, ERROR_INVALID_PARAMETER},
        Missing{"no_type", nullptr, nullptr, Id(101), ERROR_INVALID_PARAMETER}),
    [](const testing::TestParamInfo<Missing> &info) { return std::string(info.param.label); });

TEST(ModuleResources, ModuleWithoutResources) {
    HMODULE platform = GetModuleHandleA("libplatform.so");
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(FindResourceW(platform, Id(101), Id(2)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST(ModuleResources, NarrowNames) {
    HRSRC wide = FindResourceW(nullptr, u"Palette", Id(2));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "PALETTE", MAKEINTRESOURCEA(2)), wide);
    EXPECT_EQ(FindResourceA(nullptr, "#7", "notes"), FindResourceW(nullptr, Id(7), u"NOTES"));
    EXPECT_EQ(FindResourceA(nullptr, "Missing", MAKEINTRESOURCEA(2)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(ModuleResources, BadResourceHandles) {
    HRSRC resource = FindResourceW(nullptr, Id(101), Id(2));
    ASSERT_NE(resource, nullptr);
    int local = 0;
    const HRSRC bad[] = {nullptr, reinterpret_cast<HRSRC>(&local),
                         reinterpret_cast<HRSRC>(reinterpret_cast<char *>(resource) + 1)};
    for (HRSRC handle : bad) {
        SetLastError(0);
        EXPECT_EQ(LoadResource(nullptr, handle), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(SizeofResource(nullptr, handle), 0u);
    }
    // A resource is its own module's only.
    EXPECT_EQ(LoadResource(GetModuleHandleA("libplatform.so"), resource), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_FALSE(FreeResource(LoadResource(nullptr, resource)));
    EXPECT_NE(LoadResource(nullptr, resource), nullptr);
}

const unsigned char extraBytes[] = {1, 2, 3};
const RESOURCE_ENTRY extraResources[] = {{u"EXTRA", Id(1), extraBytes, sizeof(extraBytes)}};

TEST(ModuleResources, RegisteringMoreTables) {
    ASSERT_TRUE(RegisterModuleResources(extraResources, 1));
    // Again: still one table.
    ASSERT_TRUE(RegisterModuleResources(extraResources, 1));
    HRSRC resource = FindResourceW(nullptr, Id(1), u"extra");
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(Bytes(nullptr, resource), std::string("\1\2\3"));
    // The program's first table is still there.
    EXPECT_NE(FindResourceW(nullptr, Id(101), Id(2)), nullptr);
}

TEST(ModuleResources, RegisteringRefusesBadTables) {
    EXPECT_FALSE(RegisterModuleResources(nullptr, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(RegisterModuleResources(extraResources, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    static const RESOURCE_ENTRY withoutType[] = {{nullptr, Id(1), extraBytes, 3}};
    static const RESOURCE_ENTRY withoutName[] = {{Id(2), nullptr, extraBytes, 3}};
    static const RESOURCE_ENTRY withoutBytes[] = {{Id(2), Id(3), nullptr, 3}};
    for (const RESOURCE_ENTRY *table : {withoutType, withoutName, withoutBytes}) {
        EXPECT_FALSE(RegisterModuleResources(table, 1));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    // A table on the heap belongs to no module.
    const std::vector<RESOURCE_ENTRY> heap = {{u"HEAP", Id(1), extraBytes, 3}};
    EXPECT_FALSE(RegisterModuleResources(heap.data(), 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
    EXPECT_EQ(FindResourceW(nullptr, Id(1), u"HEAP"), nullptr);
}

TEST(ModuleResources, AModulesTableGoesWithIt) {
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    HRSRC icon = FindResourceW(module, Id(5), Id(14));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(Bytes(module, icon), DataFile("icons/two_sizes.ico"));
    // Neither sees the other's resources.
    EXPECT_EQ(FindResourceW(module, u"Palette", Id(2)), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, Id(5), Id(14)), nullptr);
    EXPECT_EQ(LoadResource(nullptr, icon), LoadResource(module, icon));
    EXPECT_EQ(LoadResource(GetModuleHandleW(nullptr), icon), nullptr);
    EXPECT_TRUE(FreeLibrary(module));

    SetLastError(0);
    EXPECT_EQ(FindResourceW(module, Id(5), Id(14)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_EQ(LoadResource(nullptr, icon), nullptr);
    EXPECT_EQ(SizeofResource(module, icon), 0u);

    HMODULE again = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(again, nullptr);
    HRSRC reloaded = FindResourceW(again, Id(5), Id(14));
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(Bytes(again, reloaded), DataFile("icons/two_sizes.ico"));
    EXPECT_TRUE(FreeLibrary(again));
}

} // namespace
