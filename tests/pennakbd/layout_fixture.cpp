// The layout fixture.
#include "layout_fixture.h"

#include "kernel/scheduler.h"
#include "keyboard_window.h"
#include "pennakbd_state.h"
#include "program_lists.h"
#include "user/window_state.h"

#include <algorithm>

int LayoutFixture::loads = 0;

namespace {

// LoadKeyBoard, counted.
void *CountedLoad(Element *catalogue, KeyboardLayout *request, HDC dc) {
    ++LayoutFixture::loads;
    return LoadKeyBoard(catalogue, request, dc);
}

} // namespace

void LayoutFixture::SetUp() {
    ResetDevice();
    ResetProgramState();
    ProgramInstance = GetModuleHandleW(nullptr);
    Layodex.LoadKeyBoard = CountedLoad;
    Layodex.LoadKeyBoardsNames = LoadKeyBoardsNames;
    Layodex.UnLoadKeyBoard = UnLoadKeyBoard;
    Layodex.UnLoadKeyBoardsNames = UnLoadKeyBoardsNames;
    Layodex.FindLastElement = FindLastElement;
    Layodex.FindKeyByUnicode = FindKeyByUnicode;
    Layodex.FindKeyByIdentity = FindKeyByIdentity;
    Layodex.SetSearchDirectory = SetSearchDirectory;
    loads = 0;
}

void LayoutFixture::TearDown() {
    FreeList(&keys, TRUE);
    FreeList(&HeldKeys, TRUE);
    FreeList(&ImageCache, TRUE);
    FreeList(&DirtyKeys, TRUE);
    if (LayoutCatalogue != nullptr) {
        UnLoadKeyBoardsNames(LayoutCatalogue);
    }
    ResetProgramState();
    PowerOffMachine(CurrentMachine());
}

KeyDef *LayoutFixture::AddKey(INT left, INT top, INT width, INT height, DWORD flags, WORD code) {
    KeyDef *key = static_cast<KeyDef *>(LocalAlloc(LPTR, sizeof(KeyDef)));
    *key = KeyDef{left, top, width, height, code, flags, nullptr, nullptr, 0, 0};
    PushListNode(&keys, key);
    return key;
}

void LayoutFixture::UseLayoutFolder(const std::string &folder) {
    std::u16string path(folder.begin(), folder.end());
    SetSearchDirectory(path.c_str());
    LayoutCatalogue = LoadKeyBoardsNames();
}

Element *LayoutFixture::LoadLayout(const char16_t *name) {
    for (Element *node = LayoutCatalogue; node != nullptr; node = node->next) {
        KeyboardLayout *entry = static_cast<KeyboardLayout *>(node->data);
        if (entry != nullptr && std::u16string(entry->name) == name) {
            KeyboardLayout *layout = static_cast<KeyboardLayout *>(
                Layodex.LoadKeyBoard(LayoutCatalogue, entry, nullptr));
            return layout != nullptr ? layout->keys : nullptr;
        }
    }
    return nullptr;
}

KeyDef *LayoutFixture::KeyWithCode(Element *layout, WORD code, DWORD flags) {
    return FindKeyByUnicode(layout, code, flags, 0);
}
