#include "layodex_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include <gtest/gtest.h>

std::u16string Utf16(const std::string &utf8) {
    std::u16string result;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = utf8[i];
        char32_t point;
        int extra;
        if (c < 0x80) {
            point = c;
            extra = 0;
        } else if (c < 0xE0) {
            point = c & 0x1F;
            extra = 1;
        } else if (c < 0xF0) {
            point = c & 0x0F;
            extra = 2;
        } else {
            point = c & 0x07;
            extra = 3;
        }
        i++;
        for (int k = 0; k < extra && i < utf8.size(); k++, i++)
            point = (point << 6) | (utf8[i] & 0x3F);
        if (point >= 0x10000) {
            point -= 0x10000;
            result += (char16_t)(0xD800 + (point >> 10));
            result += (char16_t)(0xDC00 + (point & 0x3FF));
        } else {
            result += (char16_t)point;
        }
    }
    return result;
}

std::string Utf8(const std::u16string &utf16) {
    std::string result;
    for (size_t i = 0; i < utf16.size(); i++) {
        char32_t point = utf16[i];
        if (point >= 0xD800 && point < 0xDC00 && i + 1 < utf16.size()) {
            point = 0x10000 + ((point - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        if (point < 0x80) {
            result += (char)point;
        } else if (point < 0x800) {
            result += (char)(0xC0 | (point >> 6));
            result += (char)(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            result += (char)(0xE0 | (point >> 12));
            result += (char)(0x80 | ((point >> 6) & 0x3F));
            result += (char)(0x80 | (point & 0x3F));
        } else {
            result += (char)(0xF0 | (point >> 18));
            result += (char)(0x80 | ((point >> 12) & 0x3F));
            result += (char)(0x80 | ((point >> 6) & 0x3F));
            result += (char)(0x80 | (point & 0x3F));
        }
    }
    return result;
}

std::u16string FileText(const std::string &utf8Lines) {
    std::string withCrLf;
    for (char c : utf8Lines) {
        if (c == '\n')
            withCrLf += '\r';
        withCrLf += c;
    }
    return Utf16(withCrLf);
}

PathString ToPath(const std::string &hostPath) {
#ifdef UNDER_CE
    return Utf16(hostPath);
#else
    return hostPath;
#endif
}

std::string DataDirectory(const char *relative) {
    return std::string(LAYODEX_TEST_DATA) + "/" + relative;
}

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/layodex-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (mkdtemp(buffer.data()) == nullptr)
        ADD_FAILURE() << "cannot create a temporary directory";
    path_ = buffer.data();
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TemporaryDirectory::WriteLayoutFile(const std::string &name,
                                         const std::string &utf8Lines) const {
    std::u16string text = FileText(utf8Lines);
    WriteBytes(File(name), std::string((const char *)text.data(), text.size() * 2));
}

void WriteBytes(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), (std::streamsize)bytes.size());
}

ProgramRun RunProgram(const std::string &command) {
    ProgramRun run{"", -1};
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t bytes;
    while ((bytes = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, bytes);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

LoadedLayouts::LoadedLayouts(const std::string &directory) {
    EXPECT_EQ(SetSearchDirectory(ToPath(directory).c_str()), 1);
    catalogue_ = LoadKeyBoardsNames();
}

LoadedLayouts::~LoadedLayouts() {
    // The library keeps what it loaded until it gets a catalogue back.
    Element *catalogue = catalogue_;
    if (catalogue == nullptr)
        AddElement(&catalogue, nullptr);
    UnLoadKeyBoardsNames(catalogue);
}

KeyboardLayout *LoadedLayouts::Load(const char *name, const char *subName, int number) {
    KeyboardLayout request = {};
    std::u16string wideName = Utf16(name), wideSubName = Utf16(subName);
    wideName.copy(request.name, LAYOUT_NAME_SIZE - 1);
    wideSubName.copy(request.subName, LAYOUT_NAME_SIZE - 1);
    request.number = number;
    return (KeyboardLayout *)LoadKeyBoard(catalogue_, &request, nullptr);
}

std::vector<KeyboardLayout *> InListOrder(Element *layouts) {
    std::vector<KeyboardLayout *> result;
    for (Element *node = FindLastElement(layouts); node != nullptr; node = node->prev)
        result.push_back((KeyboardLayout *)node->data);
    return result;
}

std::vector<KeyDef *> KeysInListOrder(const KeyboardLayout *layout) {
    std::vector<KeyDef *> result;
    for (Element *node = FindLastElement(layout->keys); node != nullptr; node = node->prev)
        result.push_back((KeyDef *)node->data);
    return result;
}

std::string NameOf(const KeyboardLayout *layout) {
    return Utf8(layout->name) + "/" + Utf8(layout->subName);
}
