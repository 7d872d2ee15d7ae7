#include <gtest/gtest.h>

#include "kernel/host_paths.h"

#include <windows.h>

#include <string>

namespace {

const std::string moduleFolder = PLATFORM_TEST_MODULE_DIR;

HINSTANCE detachedInstance;
int detachCount;

void RecordDetach(HINSTANCE instance) {
    detachedInstance = instance;
    ++detachCount;
}

template <typename Function> Function Proc(HMODULE module, const char *name) {
    // Through the generic function pointer type, as a Win32 program casts a FARPROC.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddressA(module, name)));
}

std::string WithBackslashes(std::string path) {
    for (char &c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

class Modules : public testing::Test {
  protected:
    void TearDown() override {
        SetDeviceFolder("");
    }
};

TEST_F(Modules, LoadCallsDllMainWithTheModuleAndFreeUnloads) {
    detachCount = 0;
    // Without an extension the module name gets the host's one.
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    const auto attached = Proc<HINSTANCE (*)()>(module, "TestModuleAttachedInstance");
    const auto attachCount = Proc<int (*)()>(module, "TestModuleAttachCount");
    const auto setProbe = Proc<void (*)(void (*)(HINSTANCE))>(module, "TestModuleSetDetachProbe");
    ASSERT_NE(attached, nullptr);
    ASSERT_NE(attachCount, nullptr);
    ASSERT_NE(setProbe, nullptr);
    EXPECT_EQ(attached(), module);
    EXPECT_EQ(attachCount(), 1);
    setProbe(RecordDetach);

    // A second load is the same module, and needs its own FreeLibrary.
    HMODULE again = LoadLibraryA(WithBackslashes(moduleFolder + "/test_module.dll").c_str());
    EXPECT_EQ(again, module);
    EXPECT_EQ(attachCount(), 1);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_EQ(detachCount, 0);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(detachCount, 1);
    EXPECT_EQ(detachedInstance, module);
    EXPECT_FALSE(FreeLibrary(module));
}

TEST_F(Modules, ProcedureLookups) {
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddressW(module, u"TestModuleAttachCount"),
              GetProcAddressA(module, "TestModuleAttachCount"));
    EXPECT_EQ(GetProcAddressA(module, "NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // Ordinals do not exist here; the small number must not be read as a string.
    EXPECT_EQ(GetProcAddressA(module, reinterpret_cast<LPCSTR>(1)), nullptr);
    EXPECT_EQ(GetProcAddressW(module, reinterpret_cast<LPCWSTR>(1)), nullptr);
    EXPECT_EQ(GetProcAddressW(module, u"Test\u00e9"), nullptr);
    int local = 0;
    EXPECT_EQ(GetProcAddressA(reinterpret_cast<HMODULE>(&local), "TestModuleAttachCount"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Modules, MissingModulesAndTrailingDot) {
    EXPECT_EQ(LoadLibraryA((moduleFolder + "/no_such_module").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    // A trailing dot asks for the name exactly as given, without an extension.
    EXPECT_EQ(LoadLibraryA((moduleFolder + "/test_module.").c_str()), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryW(u""), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
    int local = 0;
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&local)));
}

TEST_F(Modules, FileNamesInWin32Form) {
    HMODULE module = LoadLibraryA((moduleFolder + "/test_module").c_str());
    ASSERT_NE(module, nullptr);
    char name[MAX_PATH];
    const std::string expected = WithBackslashes(moduleFolder + "/test_module.dll");
    const DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(std::string(name), expected);

    // A short buffer gets what fits and a terminator.
    char small[6];
    EXPECT_EQ(GetModuleFileNameA(module, small, sizeof(small)), sizeof(small));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), expected.substr(0, 5));
    EXPECT_EQ(GetModuleFileNameA(module, small, 0), 0u);

    WCHAR wide[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(module, wide, MAX_PATH), 0u);
    EXPECT_EQ(std::u16string(wide), std::u16string(expected.begin(), expected.end()));

    // The program itself.
    ASSERT_GT(GetModuleFileNameA(nullptr, name, MAX_PATH), 0u);
    const std::string program = name;
    EXPECT_EQ(program.substr(program.size() - 15), "\\platform_tests");

    int local = 0;
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&local), name, MAX_PATH), 0u);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Modules, DeviceModulesLoadFromTheDeviceFolder) {
    SetDeviceFolder(moduleFolder);
    HMODULE module = LoadLibraryW(u"\\test_module");
    ASSERT_NE(module, nullptr);
    WCHAR name[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(module, name, MAX_PATH), 0u);
    EXPECT_EQ(std::u16string(name), u"\\test_module.dll");
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
