// A fresh host folder for one test, removed with everything in it afterwards.
#ifndef TESTS_PLATFORM_TEMP_FOLDER_H
#define TESTS_PLATFORM_TEMP_FOLDER_H

#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>
#include <system_error>

class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "platform_test_XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &Path() const {
        return path_;
    }
    std::string Join(const std::string &name) const {
        return path_ + "/" + name;
    }
    void Write(const std::string &name, const std::string &content) const {
        std::ofstream(Join(name), std::ios::binary) << content;
    }
    std::string Read(const std::string &name) const {
        std::ifstream file(Join(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

  private:
    std::string path_;
};

#endif
