// Text pictures parsed into plain values; the text form is described at the top of
// picture_main.cpp and in pennakbd/res/README.md.
#ifndef TOOLS_PICTURE_TEXT_PICTURE_H
#define TOOLS_PICTURE_TEXT_PICTURE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The largest side an image may have: an icon directory entry cannot say more, and the
// keyboard's pictures are far smaller.
constexpr int maxPictureSide = 256;
// Four bits per pixel.
constexpr std::size_t maxPictureColours = 16;
constexpr std::size_t maxIconImages = 16;

enum class PictureKind { Bitmap, Icon };

struct PictureColour {
    char symbol = 0;
    bool transparent = false;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct PictureImage {
    int width = 0;
    int height = 0;
    // Top-down rows, each pixel an index into TextPicture::colours.
    std::vector<std::uint8_t> pixels;
};

struct TextPicture {
    std::vector<PictureColour> colours;
    std::vector<PictureImage> images;
};

// Where a text picture went wrong; line 0 when no single line is to blame.
struct PictureError {
    std::size_t line = 0;
    std::string message;
};

// Parses text of the given kind. On failure `picture` is left empty and `error` names the line.
bool ParseTextPicture(std::string_view text, PictureKind kind, TextPicture &picture,
                      PictureError &error);

// Whether a picture, however made, holds what the writers need: what the parser guarantees.
bool IsWellFormedPicture(const TextPicture &picture, PictureKind kind);

#endif
