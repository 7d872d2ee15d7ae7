// The built-in icons: a window for the application, and the message box signs.
#include "gdi/built_in_icons.h"

namespace {

const int side = 32;
const uint32_t black = 0x000000, white = 0xFFFFFF, red = 0xFF0000, blue = 0x0000FF, navy = 0x000080,
               yellow = 0xFFFF00;

// A picture being drawn: everything clear until painted.
class Picture {
  public:
    Picture() {
        image_.width = side;
        image_.height = side;
        image_.color.assign(side * side, 0);
        image_.mask.assign(side * side, 1);
    }
    void Set(int x, int y, uint32_t color) {
        const size_t i = static_cast<size_t>(y * side + x);
        image_.color[i] = color;
        image_.mask[i] = 0;
    }
    void Fill(int left, int top, int right, int bottom, uint32_t color) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                Set(x, y, color);
            }
        }
    }
    // A disc filling most of the picture.
    void Disc(uint32_t color) {
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int dx = 2 * x - (side - 1);
                const int dy = 2 * y - (side - 1);
                if (dx * dx + dy * dy <= 29 * 29) {
                    Set(x, y, color);
                }
            }
        }
    }
    IconImage Take() {
        return std::move(image_);
    }

  private:
    IconImage image_;
};

IconImage Window() {
    Picture picture;
    picture.Fill(2, 4, 30, 28, black);
    picture.Fill(3, 5, 29, 9, navy);
    picture.Fill(3, 10, 29, 27, white);
    return picture.Take();
}

IconImage Hand() {
    Picture picture;
    picture.Disc(red);
    for (int i = 9; i < 22; ++i) {
        picture.Fill(i, i, i + 2, i + 1, white);
        picture.Fill(30 - i, i, 32 - i, i + 1, white);
    }
    return picture.Take();
}

IconImage Question() {
    Picture picture;
    picture.Disc(blue);
    picture.Fill(11, 7, 21, 10, white);
    picture.Fill(18, 10, 21, 15, white);
    picture.Fill(14, 14, 19, 17, white);
    picture.Fill(14, 17, 17, 20, white);
    picture.Fill(14, 22, 17, 25, white);
    return picture.Take();
}

IconImage Exclamation() {
    Picture picture;
    for (int y = 3; y < 29; ++y) {
        const int half = (y - 3) * 14 / 26;
        picture.Fill(15 - half, y, 17 + half, y + 1, black);
        if (y > 4 && y < 28 && half > 0) {
            picture.Fill(16 - half, y, 16 + half, y + 1, yellow);
        }
    }
    picture.Fill(15, 11, 17, 21, black);
    picture.Fill(15, 23, 17, 26, black);
    return picture.Take();
}

IconImage Information() {
    Picture picture;
    picture.Disc(blue);
    picture.Fill(14, 7, 18, 11, white);
    picture.Fill(14, 13, 18, 25, white);
    return picture.Take();
}

} // namespace

bool BuiltInIconImage(unsigned id, IconImage &out) {
    switch (id) {
    case 32512: // IDI_APPLICATION
    case 32517: // IDI_WINLOGO
        out = Window();
        return true;
    case 32513: // IDI_HAND
        out = Hand();
        return true;
    case 32514: // IDI_QUESTION
        out = Question();
        return true;
    case 32515: // IDI_EXCLAMATION
        out = Exclamation();
        return true;
    case 32516: // IDI_ASTERISK
        out = Information();
        return true;
    default:
        return false;
    }
}
