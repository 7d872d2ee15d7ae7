// pennakey-picture run as the build runs it: files in, a file or a message out.
#include <gtest/gtest.h>

#include "bmp_writer.h"
#include "ico_writer.h"
#include "text_picture.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string output;
};

std::string Quoted(const std::string &text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

ProgramRun RunPicture(const std::string &arguments) {
    ProgramRun run;
    FILE *pipe = popen((Quoted(PICTURE_PROGRAM) + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[256];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        run.output.append(buffer, count);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class Folder {
  public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "pennakey-picture-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    std::string File(const std::string &name) const {
        return (fs::path(path_) / name).string();
    }
    std::string Write(const std::string &name, const std::string &text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }

  private:
    std::string path_;
};

std::vector<unsigned char> ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

const char *const picture = "colour . c0c0c0\n"
                            "colour # 000000\n"
                            "image 2 2\n"
                            ".#\n"
                            "#.\n";

TEST(PictureProgram, WritesTheBitmapTheWriterMakes) {
    Folder folder;
    const std::string in = folder.Write("two.txt", picture);
    const std::string out = folder.File("two.bmp");
    const ProgramRun run = RunPicture("bmp " + Quoted(in) + " " + Quoted(out));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    TextPicture parsed;
    PictureError error;
    ASSERT_TRUE(ParseTextPicture(picture, PictureKind::Bitmap, parsed, error));
    EXPECT_EQ(ReadBytes(out), BitmapFileBytes(parsed));
    EXPECT_FALSE(fs::exists(out + ".part"));
}

TEST(PictureProgram, WritesTheIconTheWriterMakes) {
    Folder folder;
    const std::string in = folder.Write("two.txt", picture);
    const std::string out = folder.File("two.ico");
    EXPECT_EQ(RunPicture("ico " + Quoted(in) + " " + Quoted(out)).status, 0);
    TextPicture parsed;
    PictureError error;
    ASSERT_TRUE(ParseTextPicture(picture, PictureKind::Icon, parsed, error));
    EXPECT_EQ(ReadBytes(out), IconFileBytes(parsed));
}

TEST(PictureProgram, BadPictureNamesFileAndLineAndLeavesTheOutputAlone) {
    Folder folder;
    const std::string in = folder.Write("bad.txt", "colour . c0c0c0\n"
                                                   "image 3 2\n"
                                                   "...\n"
                                                   "..\n");
    const std::string out = folder.Write("bad.bmp", "earlier");
    const ProgramRun run = RunPicture("bmp " + Quoted(in) + " " + Quoted(out));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, in + ":4: row 2 of the 3 x 2 image of line 2 has 2 pixels, not 3\n");
    EXPECT_EQ(ReadBytes(out), (std::vector<unsigned char>{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));

    const ProgramRun empty = RunPicture("ico " + Quoted(folder.Write("empty.txt", "")) + " " +
                                        Quoted(folder.File("empty.ico")));
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.output.rfind(folder.File("empty.txt") + ": no image", 0), 0u) << empty.output;
    EXPECT_FALSE(fs::exists(folder.File("empty.ico")));

    // A bitmap cannot be transparent, even when the same text makes a good icon.
    const std::string icon = folder.Write("icon.txt", "colour - transparent\nimage 1 1\n-\n");
    const ProgramRun asBitmap =
        RunPicture("bmp " + Quoted(icon) + " " + Quoted(folder.File("i.bmp")));
    EXPECT_EQ(asBitmap.status, 1);
    EXPECT_NE(asBitmap.output.find(":1: a bitmap has no transparent colour"), std::string::npos);
    EXPECT_EQ(RunPicture("ico " + Quoted(icon) + " " + Quoted(folder.File("i.ico"))).status, 0);
}

TEST(PictureProgram, RefusesAnInputLargerThanAnyPicture) {
    Folder folder;
    const std::string in = folder.Write("huge.txt", std::string(2 << 20, ';'));
    const ProgramRun run = RunPicture("bmp " + Quoted(in) + " " + Quoted(folder.File("huge.bmp")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("too large"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(folder.File("huge.bmp")));
}

TEST(PictureProgram, WrongCommandLinesAndUnreadableFiles) {
    Folder folder;
    const std::string in = folder.Write("two.txt", picture);
    EXPECT_EQ(RunPicture("").status, 2);
    EXPECT_EQ(RunPicture("bmp " + Quoted(in)).status, 2);
    EXPECT_EQ(RunPicture("png " + Quoted(in) + " " + Quoted(folder.File("two.png"))).status, 2);
    const ProgramRun missing =
        RunPicture("bmp " + Quoted(folder.File("missing.txt")) + " " + Quoted(folder.File("m")));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("cannot be read"), std::string::npos);
    const ProgramRun unwritable =
        RunPicture("bmp " + Quoted(in) + " " + Quoted(folder.File("no/such/folder/two.bmp")));
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.output.find("cannot be written"), std::string::npos);
    // A folder is no picture file.
    EXPECT_EQ(
        RunPicture("bmp " + Quoted(folder.File("")) + " " + Quoted(folder.File("f.bmp"))).status,
        2);
}

} // namespace
