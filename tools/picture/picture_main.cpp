// pennakey-picture: turns a text picture into a Windows bitmap or icon file, at build time.
//
//   pennakey-picture bmp IN.txt OUT.bmp    one image, 4 bits per pixel
//   pennakey-picture ico IN.txt OUT.ico    one or more images, 4 bits per pixel with a mask
//
// Exit status 0 when OUT was written, 1 when IN is no valid picture (each problem is told on
// standard error as IN:LINE: message), 2 when the command line is wrong or a file cannot be read
// or written. OUT is replaced only by a whole file.
//
// The text picture format, one picture to a file:
//
//   ; A line starting with ';' is a comment. Blank lines and trailing blanks are ignored.
//   colour . c0c0c0
//   colour # 000000
//   colour - transparent
//   image 4 3
//   .##.
//   #--#
//   .##.
//
// - `colour SYMBOL RRGGBB` gives a symbol (one printable ASCII character other than ';') a
//   colour in hex. The palette is these colours in the order given, at most 16.
//   `colour SYMBOL transparent` (icons only, at most one) marks pixels that let the background
//   through.
// - Every colour line comes before the first image.
// - `image WIDTH HEIGHT` (each from 1 to 256) is followed by HEIGHT rows of exactly WIDTH
//   symbols each, top row first.
// - A bitmap has exactly one image; an icon has one or more (16 at most), each of another size.
#include "bmp_writer.h"
#include "ico_writer.h"
#include "text_picture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Far more than any picture needs; a larger file is a mistake, not a picture.
constexpr std::size_t maxInputBytes = 1 << 20;

int Usage() {
    std::cerr << "usage: pennakey-picture bmp IN.txt OUT.bmp\n"
                 "       pennakey-picture ico IN.txt OUT.ico\n";
    return 2;
}

bool ReadInput(const std::string &path, std::string &text) {
    std::error_code ignored;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, ignored) || !in) {
        std::cerr << path << ": cannot be read\n";
        return false;
    }
    std::vector<char> buffer(maxInputBytes + 1);
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (in.bad()) {
        std::cerr << path << ": cannot be read\n";
        return false;
    }
    text.assign(buffer.data(), static_cast<std::size_t>(in.gcount()));
    return true;
}

// Writes beside the target and renames, so that a build never sees half a file.
bool WriteOutput(const std::string &path, const std::vector<unsigned char> &bytes) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            std::cerr << path << ": cannot be written\n";
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        std::cerr << path << ": cannot be written\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 4) {
        return Usage();
    }
    const std::string mode = argv[1];
    PictureKind kind;
    if (mode == "bmp") {
        kind = PictureKind::Bitmap;
    } else if (mode == "ico") {
        kind = PictureKind::Icon;
    } else {
        return Usage();
    }
    const std::string input = argv[2];
    std::string text;
    if (!ReadInput(input, text)) {
        return 2;
    }
    if (text.size() > maxInputBytes) {
        std::cerr << input << ": larger than 1 MiB, too large for a picture\n";
        return 1;
    }
    TextPicture picture;
    PictureError error;
    if (!ParseTextPicture(text, kind, picture, error)) {
        std::cerr << input;
        if (error.line > 0) {
            std::cerr << ":" << error.line;
        }
        std::cerr << ": " << error.message << "\n";
        return 1;
    }
    const std::vector<unsigned char> bytes =
        kind == PictureKind::Bitmap ? BitmapFileBytes(picture) : IconFileBytes(picture);
    if (bytes.empty()) {
        std::cerr << input << ": the picture cannot be written as " << mode << "\n";
        return 1;
    }
    return WriteOutput(argv[3], bytes) ? 0 : 2;
}
