#include <gtest/gtest.h>

#include "kernel/host_paths.h"
#include "kernel/registry_store.h"
#include "temp_folder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes StringBytes(std::u16string_view text) {
    Bytes bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

Bytes DwordBytes(DWORD value) {
    return Bytes{static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                 static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
}

// Every registry test runs on a device folder of its own.
class Registry : public testing::Test {
  protected:
    void SetUp() override {
        SetDeviceFolder(device_.Path());
        ReloadRegistry(); // as a device boot does
    }
    void TearDown() override {
        for (HKEY key : opened_) {
            RegCloseKey(key);
        }
        SetDeviceFolder("");
    }

    HKEY Create(HKEY root, const char16_t *path, DWORD *disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, disposition),
                  ERROR_SUCCESS);
        opened_.push_back(key);
        return key;
    }
    HKEY Open(HKEY root, const char16_t *path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(root, path, 0, KEY_READ, &key), ERROR_SUCCESS);
        opened_.push_back(key);
        return key;
    }
    static void Set(HKEY key, const char16_t *name, DWORD type, const Bytes &data) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    // The value's type and data, or nothing with the error in `error`.
    static std::optional<std::pair<DWORD, Bytes>> Query(HKEY key, const char16_t *name,
                                                        LONG *error = nullptr) {
        DWORD type = 0;
        DWORD size = 0;
        LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        Bytes data(size);
        if (result == ERROR_SUCCESS) {
            result = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        }
        if (error != nullptr) {
            *error = result;
        }
        if (result != ERROR_SUCCESS) {
            return std::nullopt;
        }
        data.resize(size);
        return std::make_pair(type, data);
    }
    static std::u16string QueryString(HKEY key, const char16_t *name) {
        const auto value = Query(key, name);
        if (!value || value->first != REG_SZ || value->second.size() < 2) {
            return u"<missing>";
        }
        std::u16string text(value->second.size() / 2 - 1, u'\0');
        std::memcpy(text.data(), value->second.data(), text.size() * 2);
        return text;
    }

    std::string RegistryFile() const {
        return device_.Read("registry.txt");
    }

    TempFolder device_;
    std::vector<HKEY> opened_;
};

// ---- values ----

struct ValueCase {
    const char *label;
    const char16_t *name;
    DWORD type;
    Bytes data;
};

class RegistryValues : public Registry, public testing::WithParamInterface<ValueCase> {};

TEST_P(RegistryValues, ReadBackAsWrittenBeforeAndAfterAReload) {
    const ValueCase &value = GetParam();
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, value.name, value.type, value.data);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "in memory" : "after a reload");
        const auto read = Query(key, value.name);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->first, value.type);
        EXPECT_EQ(read->second, value.data);
        ReloadRegistry();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryValues,
    testing::Values(ValueCase{"String", u"Layout", REG_SZ, StringBytes(u"Deutsch")},
                    ValueCase{"EmptyString", u"Empty", REG_SZ, StringBytes(u"")},
                    ValueCase{"StringWithEscapes", u"Escapes", REG_SZ,
                              StringBytes(u"C:\\Program Files\\\"x\"\n\r\t\x01\x7f;@=[]")},
                    ValueCase{"StringBeyondAscii", u"Wide", REG_SZ,
                              StringBytes(u"caf\u00e9 \U0001F600 \u4e2d")},
                    ValueCase{"StringWithALoneSurrogate", u"Lone", REG_SZ,
                              StringBytes(std::u16string(u"a") + char16_t(0xD800) + u"b")},
                    ValueCase{"StringWithAnEmbeddedNul", u"Nul", REG_SZ,
                              StringBytes(std::u16string(u"a\0b", 3))},
                    ValueCase{"StringOfOddLength", u"Odd", REG_SZ, Bytes{'a', 0, 'b'}},
                    ValueCase{"StringWithoutTerminator", u"Open", REG_SZ, Bytes{'a', 0, 'b', 0}},
                    ValueCase{"Dword", u"Size", REG_DWORD, DwordBytes(42)},
                    ValueCase{"LargestDword", u"Max", REG_DWORD, DwordBytes(0xFFFFFFFF)},
                    ValueCase{"ShortDword", u"Short", REG_DWORD, Bytes{1, 2}},
                    ValueCase{"Binary", u"Picture", REG_BINARY, Bytes{0, 1, 0x7f, 0x80, 0xff}},
                    ValueCase{"EmptyBinary", u"Nothing", REG_BINARY, Bytes{}},
                    ValueCase{"OtherType", u"Multi", 7, StringBytes(u"a")},
                    ValueCase{"Default", nullptr, REG_SZ, StringBytes(u"default")},
                    ValueCase{"NameWithEscapes", u"\"q\"\\\n\x02\u00e9", REG_DWORD, DwordBytes(7)},
                    ValueCase{"NameThatLooksLikeTheDefault", u"@", REG_DWORD, DwordBytes(8)}),
    [](const testing::TestParamInfo<ValueCase> &info) { return std::string(info.param.label); });

TEST_F(Registry, SizeQueriesAndSmallBuffers) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, u"Layout", REG_SZ, StringBytes(u"abc"));

    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Layout", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 8u) << "bytes, terminator included";

    BYTE buffer[16];
    type = 0;
    size = 7;
    EXPECT_EQ(RegQueryValueExW(key, u"Layout", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << "the type comes back with ERROR_MORE_DATA";

    std::memset(buffer, 0xAA, sizeof buffer);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, u"Layout", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(Bytes(buffer, buffer + 8), StringBytes(u"abc"));
    EXPECT_EQ(buffer[8], 0xAA) << "nothing is written past the value";

    type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Layout", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    size = 8;
    EXPECT_EQ(RegQueryValueExW(key, u"Layout", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
}

TEST_F(Registry, QueryArgumentsThatAreNotAllowed) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, u"Size", REG_DWORD, DwordBytes(1));
    BYTE buffer[4];
    DWORD reserved = 0;
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, u"Size", nullptr, nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Size", &reserved, nullptr, buffer, &size),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"Size", 0, REG_BINARY, nullptr, 5), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Query(key, u"Size")->second, DwordBytes(1)) << "a refused write changes nothing";
    EXPECT_EQ(RegSetValueExW(key, u"Zero", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, u"Zero")->second, Bytes{});
}

TEST_F(Registry, AMissingValueIsNotFound) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    LONG error = 0;
    EXPECT_FALSE(Query(key, u"Absent", &error));
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Query(key, nullptr, &error)) << "no default value until one is set";
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, SettingAValueAgainReplacesItsTypeAndData) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, u"Layout", REG_SZ, StringBytes(u"a long string value"));
    Set(key, u"Layout", REG_DWORD, DwordBytes(3));
    const auto value = Query(key, u"Layout");
    EXPECT_EQ(value->first, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value->second, DwordBytes(3));
}

TEST_F(Registry, NullAndEmptyNamesAreTheDefaultValue) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, nullptr, REG_SZ, StringBytes(u"first"));
    EXPECT_EQ(QueryString(key, u""), u"first");
    Set(key, u"", REG_SZ, StringBytes(u"second"));
    EXPECT_EQ(QueryString(key, nullptr), u"second");
    EXPECT_NE(RegistryFile().find("\n@=\"second\"\n"), std::string::npos) << RegistryFile();
    EXPECT_EQ(RegDeleteValueW(key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, u""), u"<missing>");
}

TEST_F(Registry, ValuesLiveOnTheRootKeysToo) {
    Set(HKEY_LOCAL_MACHINE, u"Top", REG_DWORD, DwordBytes(5));
    ReloadRegistry();
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, u"Top")->second, DwordBytes(5));
    EXPECT_FALSE(Query(HKEY_CURRENT_USER, u"Top")) << "each root has its own values";
}

// ---- names ----

TEST_F(Registry, KeyAndValueNamesIgnoreCaseAndKeepTheirFirstSpelling) {
    HKEY created = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(created, u"Layout", REG_SZ, StringBytes(u"one"));

    HKEY opened = Open(HKEY_CURRENT_USER, u"SOFTWARE\\pennakey");
    EXPECT_EQ(QueryString(opened, u"LAYOUT"), u"one");
    Set(opened, u"layout", REG_SZ, StringBytes(u"two"));
    EXPECT_EQ(QueryString(created, u"Layout"), u"two");

    DWORD disposition = 0;
    Create(HKEY_CURRENT_USER, u"software\\PENNAKEY\\Sub", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));

    const std::string file = RegistryFile();
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Pennakey]\n\"Layout\"=\"two\"\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Pennakey\\Sub]\n"), std::string::npos)
        << file;
    EXPECT_EQ(file.find("layout"), std::string::npos) << file;
}

TEST_F(Registry, TheFileIsPlainTextOneLinePerKeyAndValue) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, u"Size", REG_DWORD, DwordBytes(42));
    Set(key, u"Layout", REG_SZ, StringBytes(u"Deutsch"));
    Set(key, u"Picture", REG_BINARY, Bytes{1, 2, 0xff});
    Create(HKEY_LOCAL_MACHINE, u"Empty");
    EXPECT_EQ(RegistryFile(), "; Pennakey registry\n"
                              "[HKEY_CURRENT_USER\\Software]\n"
                              "[HKEY_CURRENT_USER\\Software\\Pennakey]\n"
                              "\"Layout\"=\"Deutsch\"\n"
                              "\"Picture\"=hex:01,02,ff\n"
                              "\"Size\"=dword:0000002a\n"
                              "[HKEY_LOCAL_MACHINE\\Empty]\n");
}

struct KeyNameCase {
    const char *label;
    std::u16string name;
};

class RegistryKeyNames : public Registry, public testing::WithParamInterface<KeyNameCase> {};

TEST_P(RegistryKeyNames, SurviveAReload) {
    const std::u16string path = u"Software\\" + GetParam().name + u"\\Below";
    HKEY key = Create(HKEY_CURRENT_USER, path.c_str());
    Set(key, u"Mark", REG_DWORD, DwordBytes(9));
    ReloadRegistry();
    HKEY opened = Open(HKEY_CURRENT_USER, path.c_str());
    EXPECT_EQ(Query(opened, u"Mark")->second, DwordBytes(9)) << RegistryFile();
    std::string problem;
    RegistryFromText(RegistryFile(), problem);
    EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryKeyNames,
    testing::Values(KeyNameCase{"Plain", u"Pennakey"}, KeyNameCase{"Spaces", u" two words "},
                    KeyNameCase{"LeadingQuote", u"\"quoted\""}, KeyNameCase{"Brackets", u"]["},
                    KeyNameCase{"Semicolon", u";x"},
                    KeyNameCase{"ControlCharacters", u"a\nb\tc\x01"},
                    KeyNameCase{"BeyondAscii", u"Tastatur \u00c4\U0001F600"},
                    KeyNameCase{"LoneSurrogate", std::u16string(1, char16_t(0xDC00))}),
    [](const testing::TestParamInfo<KeyNameCase> &info) { return std::string(info.param.label); });

// ---- keys ----

TEST_F(Registry, CreateTellsNewKeysFromExistingOnes) {
    DWORD disposition = 0;
    Create(HKEY_CURRENT_USER, u"Software\\Pennakey\\Layouts", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    Create(HKEY_CURRENT_USER, u"Software\\Pennakey\\Layouts", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    Create(HKEY_CURRENT_USER, u"Software\\Pennakey", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY))
        << "the keys on the way were created too";
    Create(HKEY_CURRENT_USER, u"Software\\Pennakey\\", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    Create(HKEY_CURRENT_USER, u"Software\\Other", nullptr);
    ReloadRegistry();
    Create(HKEY_CURRENT_USER, u"Software\\Pennakey\\Layouts", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY)) << "an empty key lasts";
}

TEST_F(Registry, KeysOpenRelativeToAnOpenKey) {
    HKEY software = Create(HKEY_CURRENT_USER, u"Software");
    HKEY pennakey = Create(software, u"Pennakey");
    Set(pennakey, u"Layout", REG_SZ, StringBytes(u"Dvorak"));
    EXPECT_EQ(QueryString(Open(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout"), u"Dvorak");
    EXPECT_EQ(QueryString(Open(software, u"Pennakey"), u"Layout"), u"Dvorak");
    EXPECT_EQ(QueryString(Open(pennakey, nullptr), u"Layout"), u"Dvorak");
    EXPECT_EQ(QueryString(Open(pennakey, u""), u"Layout"), u"Dvorak");
}

TEST_F(Registry, DeletingAKeyTakesEverythingBelowItButNotItsNeighbours) {
    Set(Create(HKEY_CURRENT_USER, u"Software\\Pennakey\\Layouts\\Deep"), u"x", REG_DWORD,
        DwordBytes(1));
    Set(Create(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout", REG_SZ, StringBytes(u"a"));
    // Sorts right after "PENNAKEY\\..." when folded: must survive the deletion.
    Set(Create(HKEY_CURRENT_USER, u"Software\\PennakeyTwo"), u"y", REG_DWORD, DwordBytes(2));
    HKEY software = Open(HKEY_CURRENT_USER, u"Software");
    EXPECT_EQ(RegDeleteKeyW(software, u"PENNAKEY"), ERROR_SUCCESS);
    ReloadRegistry();
    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Pennakey\\Layouts", 0, 0, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Pennakey", 0, 0, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(Open(HKEY_CURRENT_USER, u"Software\\PennakeyTwo"), u"y")->second,
              DwordBytes(2));
    EXPECT_EQ(RegDeleteKeyW(software, u"Pennakey"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), ERROR_INVALID_PARAMETER)
        << "a root is never deleted";
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, QueryInfoCountsDirectSubkeysAndValuesWithTheirLongestNames) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    DWORD subKeys = 9, values = 9, longestSubKey = 9, longestName = 9, largest = 9;
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr,
                               &values, &longestName, &largest, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys + values + longestSubKey + longestName + largest, 0u) << "an empty key";
    Create(key, u"Layouts\\Deep\\Deeper");
    Create(key, u"Six666");
    Set(key, u"Layout", REG_SZ, StringBytes(u"Deutsch"));
    Set(key, u"X", REG_DWORD, DwordBytes(3));
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &longestSubKey, nullptr,
                               &values, &longestName, &largest, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 2u) << "keys further down are not counted";
    EXPECT_EQ(longestSubKey, 7u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(longestName, 6u);
    EXPECT_EQ(largest, 16u);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, &reserved, &subKeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryInfoKeyW(reinterpret_cast<HKEY>(0x7777), nullptr, nullptr, nullptr, &subKeys,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
}

TEST_F(Registry, OpeningAMissingKeyFails) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Absent", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    Create(HKEY_CURRENT_USER, u"Software\\Present");
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Present", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND)
        << "the roots are apart";
}

TEST_F(Registry, BadKeyPathsAreInvalidParameters) {
    int index = 0;
    for (const char16_t *path : {u"a\\\\b", u"\\a", u"\\", u"a\\\\"}) {
        SCOPED_TRACE(index++);
        HKEY key = nullptr;
        EXPECT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_INVALID_PARAMETER);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, 0, &key), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(key, nullptr);
    }
    const std::u16string tooLong(256, u'k');
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, tooLong.c_str(), 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, nullptr, 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"a", 0, nullptr, 0, 0, nullptr, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"", 0, 0, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegistryFile(), "") << "nothing was created";
}

TEST_F(Registry, DeletedValuesAreGoneForGood) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, u"Layout", REG_SZ, StringBytes(u"x"));
    Set(key, u"Keep", REG_DWORD, DwordBytes(1));
    EXPECT_EQ(RegDeleteValueW(key, u"LAYOUT"), ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, u"Layout"), u"<missing>");
    EXPECT_EQ(RegDeleteValueW(key, u"Layout"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(HKEY_LOCAL_MACHINE, u"Layout"), ERROR_FILE_NOT_FOUND);
    ReloadRegistry();
    EXPECT_EQ(QueryString(key, u"Layout"), u"<missing>");
    EXPECT_EQ(Query(key, u"Keep")->second, DwordBytes(1));
}

// ---- handles ----

TEST_F(Registry, InvalidHandlesAreRefused) {
    HKEY closed = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, 0, nullptr, &closed,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    const DWORD dword = 1;
    for (HKEY bad : {static_cast<HKEY>(nullptr), reinterpret_cast<HKEY>(0x1234), closed,
                     reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000003))}) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(bad));
        HKEY result = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(RegOpenKeyExW(bad, u"Software", 0, 0, &result), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegOpenKeyExA(bad, "Software", 0, 0, &result), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyExW(bad, u"x", 0, nullptr, 0, 0, nullptr, &result, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyExA(bad, "x", 0, nullptr, 0, 0, nullptr, &result, nullptr),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(result, nullptr);
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExW(bad, u"v", nullptr, nullptr, nullptr, &size),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegQueryValueExA(bad, "v", nullptr, nullptr, nullptr, &size),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(
            RegSetValueExW(bad, u"v", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dword), 4),
            ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegSetValueExA(bad, "v", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dword), 4),
                  ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteValueW(bad, u"v"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteValueA(bad, "v"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegistryFile(), "; Pennakey registry\n[HKEY_CURRENT_USER\\Software]\n");
}

TEST_F(Registry, PredefinedKeysCloseWithoutHarm) {
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    Set(HKEY_CURRENT_USER, u"Still", REG_DWORD, DwordBytes(1));
}

TEST_F(Registry, EachOpenGivesAHandleOfItsOwn) {
    HKEY first = Create(HKEY_CURRENT_USER, u"Software");
    HKEY second = Open(HKEY_CURRENT_USER, u"Software");
    EXPECT_NE(first, second);
    EXPECT_EQ(RegCloseKey(first), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(first), ERROR_INVALID_HANDLE);
    Set(second, u"Alive", REG_DWORD, DwordBytes(1));
}

TEST_F(Registry, AKeyThatVanishedWithItsDeviceIsReportedDeleted) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    TempFolder other;
    SetDeviceFolder(other.Path());
    LONG error = 0;
    EXPECT_FALSE(Query(key, u"Layout", &error));
    EXPECT_EQ(error, ERROR_KEY_DELETED);
    const Bytes data = DwordBytes(1);
    EXPECT_EQ(RegSetValueExW(key, u"Layout", 0, REG_DWORD, data.data(), 4), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteValueW(key, u"Layout"), ERROR_KEY_DELETED);
    EXPECT_EQ(other.Read("registry.txt"), "");
}

// ---- the A functions (desktop) ----

class RegistryDesktop : public testing::Test {
  protected:
    void SetUp() override {
        SetDeviceFolder("");
        Remember("PENNAKEY_DESKTOP_STATE");
        Remember("XDG_STATE_HOME");
        Remember("HOME");
        setenv("PENNAKEY_DESKTOP_STATE", (state_.Path() + "/state").c_str(), 1);
    }
    void TearDown() override {
        for (const auto &[name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void Remember(const char *name) {
        const char *value = getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    TempFolder state_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(RegistryDesktop, AnsiStringsAreConvertedAndKeptInTheStateFolder) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Pennakey Setup", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const char text[] = "caf\xe9"; // "café" in code page 1252
    ASSERT_EQ(
        RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), sizeof text),
        ERROR_SUCCESS);

    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "NAME", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 5u);
    char ansi[8] = {};
    size = 4;
    EXPECT_EQ(
        RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE *>(ansi), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    size = sizeof ansi;
    EXPECT_EQ(
        RegQueryValueExA(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE *>(ansi), &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(ansi, text);

    WCHAR wide[8] = {};
    size = sizeof wide;
    EXPECT_EQ(
        RegQueryValueExW(key, u"Name", nullptr, nullptr, reinterpret_cast<BYTE *>(wide), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(std::u16string(wide), u"caf\u00e9");

    const DWORD number = 0x01020304;
    ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number),
                             sizeof number),
              ERROR_SUCCESS);
    DWORD read = 0;
    size = sizeof read;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE *>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, number);
    EXPECT_EQ(RegDeleteValueA(key, "name"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    EXPECT_EQ(state_.Read("state/registry.txt"), "; Pennakey registry\n"
                                                 "[HKEY_LOCAL_MACHINE\\Software]\n"
                                                 "[HKEY_LOCAL_MACHINE\\Software\\Pennakey Setup]\n"
                                                 "@=dword:01020304\n");
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\PENNAKEY SETUP", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryDesktop, TheStateFolderComesFromTheEnvironment) {
    struct Case {
        const char *desktopState;
        const char *xdgState;
        const char *home;
        const char *file;
    };
    for (const Case &c : {Case{"/s", "/x", "/h", "/s/registry.txt"},
                          Case{nullptr, "/x", "/h", "/x/pennakey/registry.txt"},
                          Case{"", "/x", "/h", "/x/pennakey/registry.txt"},
                          Case{nullptr, nullptr, "/h", "/h/.local/state/pennakey/registry.txt"},
                          Case{nullptr, nullptr, nullptr, ""}}) {
        for (auto [name, value] :
             {std::pair{"PENNAKEY_DESKTOP_STATE", c.desktopState},
              std::pair{"XDG_STATE_HOME", c.xdgState}, std::pair{"HOME", c.home}}) {
            if (value) {
                setenv(name, value, 1);
            } else {
                unsetenv(name);
            }
        }
        EXPECT_EQ(RegistryFilePath(), c.file);
    }
    TempFolder device;
    SetDeviceFolder(device.Path());
    EXPECT_EQ(RegistryFilePath(), device.Path() + "/registry.txt") << "a device keeps its own";
    SetDeviceFolder("");
}

// ---- persistence ----

TEST_F(Registry, TwoDevicesKeepTheirOwnRegistries) {
    Set(Create(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout", REG_SZ, StringBytes(u"first"));
    TempFolder second;
    SetDeviceFolder(second.Path());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Pennakey", 0, 0, &key),
              ERROR_FILE_NOT_FOUND);
    Set(Create(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout", REG_SZ,
        StringBytes(u"second"));

    SetDeviceFolder(device_.Path());
    EXPECT_EQ(QueryString(Open(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout"), u"first");
    SetDeviceFolder(second.Path());
    EXPECT_EQ(QueryString(Open(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout"), u"second");
}

TEST_F(Registry, AReloadReadsWhatIsInTheFolder) {
    device_.Write("registry.txt", "[HKEY_CURRENT_USER\\Software\\Pennakey]\n"
                                  "\"Layout\"=\"from the file\"\n");
    ReloadRegistry();
    EXPECT_EQ(QueryString(Open(HKEY_CURRENT_USER, u"Software\\Pennakey"), u"Layout"),
              u"from the file");
}

TEST_F(Registry, WritesLeaveNoTemporaryFileBehind) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    for (DWORD i = 0; i < 5; ++i) {
        Set(key, u"Count", REG_DWORD, DwordBytes(i));
    }
    RegDeleteValueW(key, u"Count");
    FlushRegistry();
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(device_.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"registry.txt"});
}

TEST_F(Registry, AFailedWriteChangesNothing) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Pennakey");
    Set(key, u"Layout", REG_SZ, StringBytes(u"kept"));
    // A folder where the file should be: the rename onto it fails.
    std::filesystem::remove(device_.Join("registry.txt"));
    std::filesystem::create_directory(device_.Join("registry.txt"));
    testing::internal::CaptureStderr();
    EXPECT_NE(RegSetValueExW(key, u"Layout", 0, REG_DWORD, DwordBytes(1).data(), 4), ERROR_SUCCESS);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(QueryString(key, u"Layout"), u"kept");
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(device_.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"registry.txt"});
}

// ---- damaged files ----

struct DamageCase {
    const char *label;
    std::string text;
    int line;                                                        // of the one report
    const char *what;                                                // part of its message
    std::vector<std::pair<const char16_t *, const char16_t *>> kept; // value name, string data
    std::vector<const char16_t *> lost;
};

const std::string header = "[HKEY_CURRENT_USER\\Software\\Pennakey]\n";

class RegistryDamage : public Registry, public testing::WithParamInterface<DamageCase> {};

TEST_P(RegistryDamage, IsReadAsFarAsItIsSoundAndReportedOnce) {
    const DamageCase &damage = GetParam();
    device_.Write("registry.txt", damage.text);
    testing::internal::CaptureStderr();
    ReloadRegistry();
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Pennakey", 0, 0, &key);
    if (opened == ERROR_SUCCESS) {
        opened_.push_back(key);
        for (const auto &[name, data] : damage.kept) {
            EXPECT_EQ(QueryString(key, name), data) << testing::PrintToString(name);
        }
        for (const char16_t *name : damage.lost) {
            EXPECT_EQ(QueryString(key, name), u"<missing>");
        }
    } else {
        EXPECT_TRUE(damage.kept.empty());
    }
    const std::string report = testing::internal::GetCapturedStderr();
    const std::string expected = "registry: " + device_.Join("registry.txt") + ": line " +
                                 std::to_string(damage.line) + ": ";
    EXPECT_EQ(report.rfind(expected, 0), 0u) << report;
    EXPECT_NE(report.find(damage.what), std::string::npos) << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;

    // The next change writes a clean file, which reads back without a report.
    Set(HKEY_LOCAL_MACHINE, u"Touched", REG_DWORD, DwordBytes(1));
    testing::internal::CaptureStderr();
    ReloadRegistry();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::string problem;
    RegistryFromText(RegistryFile(), problem);
    EXPECT_EQ(problem, "");
    if (opened == ERROR_SUCCESS) {
        for (const auto &[name, data] : damage.kept) {
            EXPECT_EQ(QueryString(key, name), data);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryDamage,
    testing::Values(
        DamageCase{"MalformedLine",
                   header + "\"A\"=\"a\"\ngarbage\n\"B\"=\"b\"\n\"C\"=oops\n",
                   3,
                   "expected a key header or a value",
                   {{u"A", u"a"}, {u"B", u"b"}},
                   {u"C"}},
        DamageCase{"InvalidEscape",
                   header + "\"A\"=\"a\"\n\"B\"=\"\\q\"\n\"C\"=\"c\"\n",
                   3,
                   "invalid escape",
                   {{u"A", u"a"}, {u"C", u"c"}},
                   {u"B"}},
        DamageCase{"ShortUnicodeEscape",
                   header + "\"A\"=\"\\u12\"\n\"C\"=\"c\"\n",
                   2,
                   "invalid \\u escape",
                   {{u"C", u"c"}},
                   {u"A"}},
        DamageCase{"NotUtf8",
                   header + "\"A\"=\"a\"\n\"B\"=\"\xff\xfe\"\n\"C\"=\"c\"\n",
                   3,
                   "not UTF-8",
                   {{u"A", u"a"}, {u"C", u"c"}},
                   {u"B"}},
        DamageCase{"EncodedSurrogate",
                   header + "\"B\"=\"\xed\xa0\x80\"\n\"C\"=\"c\"\n",
                   2,
                   "not UTF-8",
                   {{u"C", u"c"}},
                   {u"B"}},
        DamageCase{"Truncated",
                   header + "\"A\"=\"a\"\n\"B\"=\"cut sh",
                   3,
                   "truncated",
                   {{u"A", u"a"}},
                   {u"B"}},
        DamageCase{"TruncatedLooksWhole",
                   header + "\"A\"=\"a\"\n\"B\"=\"b\"",
                   3,
                   "truncated",
                   {{u"A", u"a"}},
                   {u"B"}},
        DamageCase{"UnterminatedString",
                   header + "\"A\"=\"a\n\"C\"=\"c\"\n",
                   2,
                   "unterminated string",
                   {{u"C", u"c"}},
                   {u"A"}},
        DamageCase{"ShortDword",
                   header + "\"D\"=dword:1234567\n\"C\"=\"c\"\n",
                   2,
                   "8 hex digits",
                   {{u"C", u"c"}},
                   {u"D"}},
        DamageCase{"BadHexBytes",
                   header + "\"H\"=hex:01,2\n\"C\"=\"c\"\n",
                   2,
                   "invalid hex bytes",
                   {{u"C", u"c"}},
                   {u"H"}},
        DamageCase{"UnknownType",
                   header + "\"T\"=qword:1\n\"C\"=\"c\"\n",
                   2,
                   "unknown value type",
                   {{u"C", u"c"}},
                   {u"T"}},
        DamageCase{"ValueBeforeAnyKey",
                   "\"V\"=\"v\"\n" + header + "\"C\"=\"c\"\n",
                   1,
                   "value outside a key",
                   {{u"C", u"c"}},
                   {u"V"}},
        // The values under a header that cannot be read have no key; the next header has one.
        DamageCase{"BadHeader",
                   header + "\"A\"=\"a\"\n[HKEY_NOWHERE\\X]\n\"Lost\"=\"x\"\n" + header +
                       "\"C\"=\"c\"\n",
                   3,
                   "unknown root key",
                   {{u"A", u"a"}, {u"C", u"c"}},
                   {u"Lost"}},
        DamageCase{"HeaderWithoutBracket",
                   "[HKEY_CURRENT_USER\\Software\\Pennakey\n\"A\"=\"a\"\n",
                   1,
                   "without ']'",
                   {},
                   {}},
        DamageCase{"EmptyKeyName",
                   "[HKEY_CURRENT_USER\\Software\\\\Pennakey]\n\"A\"=\"a\"\n",
                   1,
                   "empty key name",
                   {},
                   {}},
        DamageCase{"BinaryGarbage",
                   std::string("\0\x01\x02\xff\n", 5) + header + "\"C\"=\"c\"\n",
                   1,
                   "not UTF-8",
                   {{u"C", u"c"}},
                   {}}),
    [](const testing::TestParamInfo<DamageCase> &info) { return std::string(info.param.label); });

TEST_F(Registry, CommentsBlankLinesAndLineEndsAreAllowed) {
    device_.Write("registry.txt", "; a comment\r\n\r\n" + header +
                                      "\"A\"=\"a\"  \r\n\n[hkey_current_user\\SOFTWARE\\pennakey]\n"
                                      "\"B\"=hex(7):61,00,00,00\n");
    testing::internal::CaptureStderr();
    ReloadRegistry();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    HKEY key = Open(HKEY_CURRENT_USER, u"Software\\Pennakey");
    EXPECT_EQ(QueryString(key, u"A"), u"a");
    const auto multi = Query(key, u"B");
    ASSERT_TRUE(multi.has_value());
    EXPECT_EQ(multi->first, 7u);
    EXPECT_EQ(multi->second, (Bytes{0x61, 0, 0, 0}));
}

TEST_F(Registry, AnUnreadableFileIsReportedAndLeavesAnEmptyRegistry) {
    std::filesystem::create_directory(device_.Join("registry.txt"));
    testing::internal::CaptureStderr();
    ReloadRegistry();
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.rfind("registry: " + device_.Join("registry.txt") + ": ", 0), 0u) << report;
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, &key), ERROR_FILE_NOT_FOUND);
}

TEST(RegistryText, ParsingAnyBytesNeverFails) {
    // Every prefix of a file with every kind of line, and single bytes of every value.
    const std::string text = "; Pennakey registry\n"
                             "[HKEY_CURRENT_USER\\Software]\n" +
                             header +
                             "@=dword:00000001\n"
                             "\"A\"=\"aA\\n\"\n"
                             "\"H\"=hex:01,02\n"
                             "\"T\"=hex(7):00\n"
                             "[HKEY_LOCAL_MACHINE\\\"\\\"q\"]\n"
                             "[HKEY_LOCAL_MACHINE\\\"\\\"q\"\\x]\n";
    for (size_t length = 0; length <= text.size(); ++length) {
        std::string problem;
        RegistryFromText(text.substr(0, length), problem);
    }
    for (int byte = 0; byte < 256; ++byte) {
        std::string problem;
        RegistryFromText(header + std::string(1, static_cast<char>(byte)) + "\n", problem);
    }
    std::string problem;
    const RegistryTree tree = RegistryFromText(text, problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(RegistryText(tree), text) << "the text is canonical";
}

} // namespace
