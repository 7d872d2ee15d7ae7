// Reading and writing PennakbdSettings.
#include "settings.h"

#include "pennakbd_state.h"

namespace {

typedef struct StoredSetting {
    LPCWSTR name;
    DWORD *value;
} StoredSetting;

// In the order they are read and written.
void ListSettings(StoredSetting (&settings)[5]) {
    settings[0] = {TEXT("Default Scale"), &Settings.scale};
    settings[1] = {TEXT("Default Keyboard"), &Settings.selectedLayoutIndex};
    settings[2] = {TEXT("Opt Visibility"), &Settings.panelVisible};
    settings[3] = {TEXT("Keyboard XY"), &Settings.position};
    settings[4] = {TEXT("Keyboard MaxScale"), &Settings.maxScale};
}

} // namespace

void ReadSettings(void) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    StoredSetting settings[5];
    ListSettings(settings);
    for (const StoredSetting &setting : settings) {
        // Whatever type it was stored with, its first four bytes are the value.
        BYTE bytes[4];
        DWORD size = sizeof bytes;
        if (RegQueryValueExW(key, setting.name, NULL, NULL, bytes, &size) == ERROR_SUCCESS)
            CopyMemory(setting.value, bytes, size < sizeof bytes ? size : sizeof bytes);
    }
    RegCloseKey(key);
}

void WriteSettings(void) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    StoredSetting settings[5];
    ListSettings(settings);
    for (const StoredSetting &setting : settings)
        RegSetValueExW(key, setting.name, 0, REG_DWORD, (const BYTE *)setting.value, sizeof(DWORD));
    RegCloseKey(key);
}
