// Helpers for the layout library's tests: temporary directories, layout files written from
// UTF-8 text, and paths in the build's own character type.
#ifndef LAYODEX_TEST_SUPPORT_H
#define LAYODEX_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "layodex.h"

typedef std::basic_string<PATHCHAR> PathString;

std::u16string Utf16(const std::string &utf8);
std::string Utf8(const std::u16string &utf16);
// The text as it stands in a layout file: CR LF line ends, UTF-16.
std::u16string FileText(const std::string &utf8Lines);

PathString ToPath(const std::string &hostPath);
std::string DataDirectory(const char *relative = "");

class TemporaryDirectory {
  public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    const std::string &Path() const {
        return path_;
    }
    std::string File(const std::string &name) const {
        return path_ + "/" + name;
    }
    void WriteLayoutFile(const std::string &name, const std::string &utf8Lines) const;

  private:
    std::string path_;
};

void WriteBytes(const std::string &path, const std::string &bytes);

// A shell command's output (standard output and error) and exit code (-1 when it did not exit).
struct ProgramRun {
    std::string output;
    int status;
};
ProgramRun RunProgram(const std::string &command);
std::string ReadBytes(const std::string &path);

// The library's search directory and catalogue for one test; everything loaded is released
// when the test ends.
class LoadedLayouts {
  public:
    explicit LoadedLayouts(const std::string &directory);
    ~LoadedLayouts();
    Element *Catalogue() const {
        return catalogue_;
    }
    KeyboardLayout *Load(const char *name, const char *subName = "Main", int number = -1);

  private:
    Element *catalogue_;
};

std::vector<KeyboardLayout *> InListOrder(Element *layouts);
std::vector<KeyDef *> KeysInListOrder(const KeyboardLayout *layout);
std::string NameOf(const KeyboardLayout *layout);

#endif
