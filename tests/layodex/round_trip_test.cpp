// Writing a loaded tree and reading the text back gives the same tree, apart from what the
// file format cannot carry: bits without a keyword, pictures loaded from files, and keys whose
// sub-keyboard was never found.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "layodex_test_support.h"

namespace {

const DWORD keywordBits = KEY_VIRTUAL | KEY_MAP | KEY_STICK | KEY_DEADKEY | KEY_DISABLE |
                          KEY_TOGGLE | KEY_HIDDEN | KEY_SWITCH | KEY_IMAGE | KEY_IMAGEINTERNAL |
                          KEY_MACRO | KEY_LAUNCH | KEY_NEWKEYBD | KEY_NORELEASESTICK;

struct KeySnapshot {
    int left, top, width, height;
    WORD code;
    DWORD flags;
    DWORD imageIndex;
    std::string target;
    bool operator==(const KeySnapshot &) const = default;
};

struct SectionSnapshot {
    std::string header;
    std::vector<KeySnapshot> keys;
    bool operator==(const SectionSnapshot &) const = default;
};

std::ostream &operator<<(std::ostream &out, const SectionSnapshot &section) {
    out << section.header << " (" << section.keys.size() << " keys)";
    for (const KeySnapshot &key : section.keys)
        out << "\n  " << key.left << "," << key.top << "," << key.width << "," << key.height
            << " flags " << std::hex << key.flags << std::dec << " code " << key.code << " "
            << key.target;
    return out;
}

KeySnapshot SnapshotKey(const KeyDef *key) {
    KeySnapshot snapshot{
        key->left, key->top, key->width, key->height, key->code, key->flags & keywordBits, 0, ""};
    if ((key->flags & KEY_IMAGEINTERNAL) != 0 && (key->flags & KEY_IMAGE) == 0)
        snapshot.imageIndex = key->imageIndex;
    if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0 && key->target != nullptr)
        snapshot.target = "text " + Utf8((const WCHAR *)key->target);
    else if ((key->flags & KEY_NEWKEYBD) != 0 && key->target != nullptr)
        snapshot.target = "to " + NameOf((const KeyboardLayout *)key->target);
    return snapshot;
}

void CollectTree(KeyboardLayout *layout, std::vector<KeyboardLayout *> &tree) {
    for (KeyboardLayout *known : tree) {
        if (known == layout)
            return;
    }
    tree.push_back(layout);
    for (KeyDef *key : KeysInListOrder(layout)) {
        if ((key->flags & KEY_NEWKEYBD) != 0 && (key->flags & (KEY_MACRO | KEY_LAUNCH)) == 0 &&
            key->target != nullptr)
            CollectTree((KeyboardLayout *)key->target, tree);
    }
}

// The tree section by section; with asWritten, as the text written for it should read back.
std::vector<SectionSnapshot> Snapshot(KeyboardLayout *main, bool asWritten) {
    std::vector<KeyboardLayout *> tree;
    CollectTree(main, tree);
    std::vector<SectionSnapshot> sections;
    for (KeyboardLayout *layout : tree) {
        SectionSnapshot section{
            NameOf(layout) + "," + Utf8(layout->label) + "," + std::to_string(layout->number), {}};
        for (KeyDef *key : KeysInListOrder(layout)) {
            KeySnapshot snapshot = SnapshotKey(key);
            if (asWritten) {
                if ((key->flags & KEY_NEWKEYBD) != 0 &&
                    (key->flags & (KEY_MACRO | KEY_LAUNCH)) == 0 && key->target == nullptr)
                    continue; // written as "0", which names no sub-keyboard
                if (key->code == ' ')
                    snapshot.flags |= KEY_VIRTUAL;
                if (key->code == ',' || key->code == '"')
                    snapshot.flags &= ~KEY_VIRTUAL;
            }
            section.keys.push_back(snapshot);
        }
        sections.push_back(section);
    }
    return sections;
}

// Loads NAME from the directory, writes its tree, reads the text back from a fresh directory.
void ExpectRoundTrip(const std::string &directory, const char *name) {
    std::vector<SectionSnapshot> expected;
    std::vector<WCHAR> buffer(1250000);
    WCHAR *end = buffer.data();
    {
        LoadedLayouts layouts(directory);
        KeyboardLayout *main = layouts.Load(name);
        ASSERT_NE(main, nullptr) << name;
        expected = Snapshot(main, true);
        ASSERT_EQ(SaveKeyBoard(main, &end), 1);
    }
    TemporaryDirectory written;
    WriteBytes(written.File("written.kbi"),
               std::string((const char *)buffer.data(), (end - buffer.data()) * 2));
    LoadedLayouts reread(written.Path());
    KeyboardLayout *main = reread.Load(name);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Snapshot(main, false), expected);
}

TEST(RoundTrip, ShippedLayouts) {
    ExpectRoundTrip(LAYODEX_LAYOUTS_DIRECTORY, "English");
}

TEST(RoundTrip, TestLayouts) {
    for (const char *name : {"Cyc", "Look", "Texts", "Lost", "Pick"})
        ExpectRoundTrip(DataDirectory(), name);
}

// The reader takes a picture number as a signed 32-bit number, so the writer must write it so.
TEST(RoundTrip, PictureNumbersOverTheSigned32BitRange) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("pictures.kbi", "[Pic,P,Main,1]\n"
                                              "0, 0, 1, 1, IMAGEINTERNAL, a, 0, -1\n"
                                              "0, 0, 1, 1, IMAGEINTERNAL, b, 0, -2147483648\n"
                                              "0, 0, 1, 1, IMAGEINTERNAL, c, 0, 2147483647\n"
                                              "0, 0, 1, 1, IMAGEINTERNAL, d, 0, 0\n");
    {
        LoadedLayouts layouts(directory.Path());
        KeyboardLayout *main = layouts.Load("Pic");
        ASSERT_NE(main, nullptr);
        std::vector<DWORD> numbers;
        for (KeyDef *key : KeysInListOrder(main))
            numbers.push_back(key->imageIndex);
        EXPECT_EQ(numbers, (std::vector<DWORD>{0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0u}));
    }
    ExpectRoundTrip(directory.Path(), "Pic");
}

// A random layout file: several sections of one layout linked in any pattern, keys with any
// keywords, codes and texts the format can carry.
std::string GeneratedLayoutFile(unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int count) { return (int)(random() % (unsigned)count); };
    const char *keywords[] = {"MAP",    "STICK",  "DEADKEY",       "DISABLE",       "TOGGLE",
                              "HIDDEN", "SWITCH", "IMAGEINTERNAL", "NORELEASESTICK"};
    const char *virtualNames[] = {"BACK", "SHIFT", "SPACE", "COMMA",    "DOUBLEQUOTA", "RETURN",
                                  "LEFT", "0",     "NEXT",  "SNAPSHOT", "HELP"};
    const char *characters[] = {
        "a",     "Z",     "7",      "[", "]", "|", "/", "\xC3\xA9", "\xE2\x82\xAC",
        "\" \"", "\",\"", "\"\t\"", ""};
    int sectionCount = 1 + pick(5);
    std::ostringstream text;
    text << "// generated\n";
    for (int s = 0; s < sectionCount; s++) {
        text << "[Gen,G" << seed % 10 << "," << (s == 0 ? "Main" : "Sub" + std::to_string(s)) << ","
             << pick(3) << "]\n";
        text << "0, 0, 10, 10, 0, q, 0, 0\n"; // every section keeps at least one key
        int keyCount = pick(12);
        for (int k = 0; k < keyCount; k++) {
            text << pick(240) - 20 << ", " << pick(80) << ", " << pick(40) << ", " << pick(30)
                 << ", ";
            std::string flags;
            for (const char *keyword : keywords) {
                if (pick(6) == 0)
                    flags += std::string(flags.empty() ? "" : "|") + keyword;
            }
            int kind = pick(5);
            bool isVirtual = kind == 0;
            if (isVirtual)
                flags = "VIRTUAL" + (flags.empty() ? "" : "|" + flags);
            if (kind == 1)
                flags += std::string(flags.empty() ? "" : "|") + "MACRO";
            if (kind == 2)
                flags += std::string(flags.empty() ? "" : "|") + "NEWKEYBD";
            text << (flags.empty() ? "0" : flags) << ", ";
            text << (isVirtual ? virtualNames[pick(11)] : characters[pick(13)]) << ", ";
            if (kind == 1)
                text << "\"text " << pick(1000) << ", with comma\"";
            else if (kind == 2)
                text << "\"Gen,"
                     << (pick(4) == 0 ? "Main" : "Sub" + std::to_string(1 + pick(sectionCount)))
                     << "\"";
            else
                text << "0";
            text << ", " << pick(200) << "\n";
        }
    }
    return text.str();
}

TEST(RoundTrip, GeneratedLayouts) {
    for (unsigned seed = 1; seed <= 60; seed++) {
        TemporaryDirectory directory;
        directory.WriteLayoutFile("generated.kbi", GeneratedLayoutFile(seed));
        SCOPED_TRACE("seed " + std::to_string(seed));
        ExpectRoundTrip(directory.Path(), "Gen");
    }
}

} // namespace
