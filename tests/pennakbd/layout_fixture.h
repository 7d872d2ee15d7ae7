// Layouts for the keyboard's own operations without a running program: the layout library
// linked in and bound as the program binds it, key lists built by hand or loaded from files.
#ifndef TESTS_PENNAKBD_LAYOUT_FIXTURE_H
#define TESTS_PENNAKBD_LAYOUT_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include <layodex.h>

class LayoutFixture : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A key added to the hand-made list, which keeps file order: the first added is the oldest.
    KeyDef *AddKey(INT left, INT top, INT width, INT height, DWORD flags = 0, WORD code = 'a');
    // The layouts of a folder, loaded through the library as the option panel loads them.
    void UseLayoutFolder(const std::string &folder);
    Element *LoadLayout(const char16_t *name);
    static KeyDef *KeyWithCode(Element *layout, WORD code, DWORD flags);

    Element *keys = nullptr;

  public:
    // How often the bound LoadKeyBoard was called.
    static int loads;
};

#endif
