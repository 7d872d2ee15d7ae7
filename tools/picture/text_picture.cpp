#include "text_picture.h"

#include <array>
#include <utility>

namespace {

struct Line {
    std::size_t number = 0;
    std::string_view text;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Hands out the lines that carry something: blank lines and comments are skipped, and so is
// trailing white space, which editors add and remove at will.
struct LineReader {
    std::string_view rest;
    // The number of the line last read, whether it carried something or not.
    std::size_t number = 0;
    bool finished = false;
};

bool NextLine(LineReader &reader, Line &line) {
    while (!reader.finished) {
        const std::size_t end = reader.rest.find('\n');
        std::string_view text = reader.rest.substr(0, end);
        if (end == std::string_view::npos) {
            reader.finished = true;
        } else {
            reader.rest.remove_prefix(end + 1);
            // The last line's newline starts no line of its own.
            reader.finished = reader.rest.empty();
        }
        ++reader.number;
        while (!text.empty() && IsBlank(text.back())) {
            text.remove_suffix(1);
        }
        if (text.empty() || text.front() == ';') {
            continue;
        }
        line.number = reader.number;
        line.text = text;
        return true;
    }
    return false;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
            ++at;
        }
        const std::size_t start = at;
        while (at < text.size() && text[at] != ' ' && text[at] != '\t') {
            ++at;
        }
        if (at > start) {
            words.push_back(text.substr(start, at - start));
        }
    }
    return words;
}

// A character as a message shows it: itself when printable, else its byte value.
std::string Shown(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
        return std::string("'") + c + "'";
    }
    static const char digits[] = "0123456789abcdef";
    return std::string("byte 0x") + digits[byte >> 4] + digits[byte & 15];
}

// A word as a message shows it: quoted, cut short, unprintable bytes escaped.
std::string Shown(std::string_view word) {
    std::string shown = "'";
    for (std::size_t i = 0; i < word.size() && i < 24; ++i) {
        const auto byte = static_cast<unsigned char>(word[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += word[i];
        } else {
            shown += '?';
        }
    }
    return shown + (word.size() > 24 ? "...'" : "'");
}

bool IsSymbol(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && c != ';';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool ParseRgb(std::string_view word, PictureColour &colour) {
    if (word.size() != 6) {
        return false;
    }
    std::uint8_t parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(word[2 * i]);
        const int low = HexDigit(word[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        parts[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    colour.red = parts[0];
    colour.green = parts[1];
    colour.blue = parts[2];
    return true;
}

// A side from 1 to maxPictureSide, in decimal digits only.
bool ParseSide(std::string_view word, int &side) {
    if (word.empty() || word.size() > 3) {
        return false;
    }
    int value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > maxPictureSide) {
        return false;
    }
    side = value;
    return true;
}

struct ParserState {
    LineReader lines;
    PictureKind kind = PictureKind::Bitmap;
    PictureError *error = nullptr;
    // For each byte, its index in the picture's colours, or -1.
    std::array<int, 256> symbols{};
    std::size_t opaque = 0;
    bool transparent = false;
    bool black = false;
    std::string lastImage;
};

bool Fail(ParserState &state, std::size_t line, std::string message) {
    state.error->line = line;
    state.error->message = std::move(message);
    return false;
}

bool ParseColourLine(ParserState &state, const Line &line,
                     const std::vector<std::string_view> &words, TextPicture &picture) {
    if (words.size() != 3) {
        return Fail(state, line.number,
                    "a colour line is 'colour SYMBOL RRGGBB' or "
                    "'colour SYMBOL transparent'");
    }
    if (words[1].size() != 1 || !IsSymbol(words[1][0])) {
        return Fail(state, line.number,
                    "the symbol " + Shown(words[1]) +
                        " is not one printable character other than ';'");
    }
    PictureColour colour;
    colour.symbol = words[1][0];
    const auto key = static_cast<unsigned char>(colour.symbol);
    if (state.symbols[key] >= 0) {
        return Fail(state, line.number, "the symbol " + Shown(colour.symbol) + " is given twice");
    }
    if (words[2] == "transparent") {
        if (state.kind == PictureKind::Bitmap) {
            return Fail(state, line.number, "a bitmap has no transparent colour; only icons do");
        }
        if (state.transparent) {
            return Fail(state, line.number, "a second transparent colour; one is enough");
        }
        colour.transparent = true;
        state.transparent = true;
    } else if (ParseRgb(words[2], colour)) {
        if (state.opaque == maxPictureColours) {
            return Fail(state, line.number, "more than 16 colours");
        }
        ++state.opaque;
        state.black = state.black || (colour.red == 0 && colour.green == 0 && colour.blue == 0);
    } else {
        return Fail(state, line.number,
                    "the colour " + Shown(words[2]) +
                        " is neither six hex digits RRGGBB nor 'transparent'");
    }
    state.symbols[key] = static_cast<int>(picture.colours.size());
    picture.colours.push_back(colour);
    return true;
}

// Reads the image line and the rows that follow it.
bool ParseImage(ParserState &state, const Line &line, const std::vector<std::string_view> &words,
                TextPicture &picture) {
    if (words.size() != 3) {
        return Fail(state, line.number, "an image line is 'image WIDTH HEIGHT'");
    }
    PictureImage image;
    if (!ParseSide(words[1], image.width) || !ParseSide(words[2], image.height)) {
        return Fail(state, line.number,
                    "the size " + Shown(words[1]) + " x " + Shown(words[2]) +
                        " is not two numbers from 1 to 256");
    }
    if (picture.colours.empty()) {
        return Fail(state, line.number, "an image before any 'colour' line");
    }
    // Transparent pixels are written black under a set mask bit, so black must find a place.
    if (state.transparent && !state.black && state.opaque == maxPictureColours) {
        return Fail(state, line.number,
                    "an icon with a transparent colour needs black among its 16 "
                    "colours");
    }
    if (state.kind == PictureKind::Bitmap && !picture.images.empty()) {
        return Fail(state, line.number, "a second image; a bitmap holds one");
    }
    if (state.kind == PictureKind::Icon) {
        if (picture.images.size() == maxIconImages) {
            return Fail(state, line.number, "more than 16 images");
        }
        for (const PictureImage &other : picture.images) {
            if (other.width == image.width && other.height == image.height) {
                return Fail(state, line.number,
                            "a second image of " + std::to_string(image.width) + " x " +
                                std::to_string(image.height));
            }
        }
    }
    image.pixels.reserve(static_cast<std::size_t>(image.width) *
                         static_cast<std::size_t>(image.height));
    const std::string size = std::to_string(image.width) + " x " + std::to_string(image.height) +
                             " image of line " + std::to_string(line.number);
    for (int y = 0; y < image.height; ++y) {
        Line row;
        if (!NextLine(state.lines, row)) {
            return Fail(state, state.lines.number,
                        "the file ends after row " + std::to_string(y) + " of the " + size);
        }
        const std::string which = "row " + std::to_string(y + 1) + " of the " + size;
        if (row.text.size() != static_cast<std::size_t>(image.width)) {
            return Fail(state, row.number,
                        which + " has " + std::to_string(row.text.size()) + " pixels, not " +
                            std::to_string(image.width));
        }
        for (std::size_t x = 0; x < row.text.size(); ++x) {
            const int index = state.symbols[static_cast<unsigned char>(row.text[x])];
            if (index < 0) {
                return Fail(state, row.number,
                            which + ", column " + std::to_string(x + 1) + ": " +
                                Shown(row.text[x]) + " is not one of its colours");
            }
            image.pixels.push_back(static_cast<std::uint8_t>(index));
        }
    }
    picture.images.push_back(std::move(image));
    state.lastImage = size;
    return true;
}

bool ParseLines(ParserState &state, TextPicture &picture) {
    Line line;
    while (NextLine(state.lines, line)) {
        const std::vector<std::string_view> words = Words(line.text);
        if (words.front() == "colour") {
            if (!picture.images.empty()) {
                return Fail(state, line.number, "colours come before the first image");
            }
            if (!ParseColourLine(state, line, words, picture)) {
                return false;
            }
        } else if (words.front() == "image") {
            if (!ParseImage(state, line, words, picture)) {
                return false;
            }
        } else if (words.size() == 1 && picture.images.empty()) {
            return Fail(state, line.number,
                        "pixel rows before any 'image WIDTH HEIGHT' line, or the unknown word " +
                            Shown(words.front()));
        } else if (words.size() == 1) {
            return Fail(state, line.number,
                        "a row past the last one of the " + state.lastImage +
                            ", or the unknown word " + Shown(words.front()));
        } else {
            return Fail(state, line.number,
                        "unknown word " + Shown(words.front()) +
                            ": lines start with 'colour' or 'image'");
        }
    }
    if (picture.images.empty()) {
        return Fail(state, 0,
                    "no image: a picture needs its colours, an 'image WIDTH HEIGHT' line "
                    "and its rows");
    }
    return true;
}

} // namespace

bool IsWellFormedPicture(const TextPicture &picture, PictureKind kind) {
    std::size_t opaque = 0;
    std::size_t transparent = 0;
    bool black = false;
    for (const PictureColour &colour : picture.colours) {
        if (colour.transparent) {
            ++transparent;
        } else {
            ++opaque;
            black = black || (colour.red == 0 && colour.green == 0 && colour.blue == 0);
        }
    }
    if (opaque > maxPictureColours || transparent > (kind == PictureKind::Icon ? 1u : 0u) ||
        (transparent > 0 && !black && opaque == maxPictureColours)) {
        return false;
    }
    const std::size_t most = kind == PictureKind::Icon ? maxIconImages : 1;
    if (picture.images.empty() || picture.images.size() > most) {
        return false;
    }
    for (std::size_t i = 0; i < picture.images.size(); ++i) {
        const PictureImage &image = picture.images[i];
        for (std::size_t j = 0; j < i; ++j) {
            if (picture.images[j].width == image.width &&
                picture.images[j].height == image.height) {
                return false;
            }
        }
        if (image.width < 1 || image.width > maxPictureSide || image.height < 1 ||
            image.height > maxPictureSide ||
            image.pixels.size() !=
                static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
            return false;
        }
        for (std::uint8_t pixel : image.pixels) {
            if (pixel >= picture.colours.size()) {
                return false;
            }
        }
    }
    return true;
}

bool ParseTextPicture(std::string_view text, PictureKind kind, TextPicture &picture,
                      PictureError &error) {
    picture = TextPicture{};
    error = PictureError{};
    TextPicture parsed;
    ParserState state;
    state.lines.rest = text;
    state.kind = kind;
    state.error = &error;
    state.symbols.fill(-1);
    if (!ParseLines(state, parsed)) {
        return false;
    }
    picture = std::move(parsed);
    return true;
}
