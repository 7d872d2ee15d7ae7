// DrawText: lines of text aligned in a rectangle, with & prefixes underlined.
#include "gdi/dc_text.h"

#include "engine/fills.h"
#include "gdi/colors.h"
#include "gdi/dc_drawing.h"

#include <algorithm>
#include <string>

namespace {

struct Line {
    std::u16string text;
    size_t underlined = std::u16string::npos; // the unit after a single &
};

// Splits text at line breaks (CR, LF or CR LF) unless single-line, and takes out & prefixes:
// "&&" is one ampersand, "&x" an underlined x.
std::vector<Line> SplitLines(const char16_t *text, size_t count, UINT format) {
    std::vector<Line> lines(1);
    for (size_t i = 0; i < count; ++i) {
        const char16_t unit = text[i];
        if (!(format & DT_SINGLELINE) && (unit == u'\r' || unit == u'\n')) {
            if (unit == u'\r' && i + 1 < count && text[i + 1] == u'\n') {
                ++i;
            }
            lines.emplace_back();
            continue;
        }
        if (!(format & DT_NOPREFIX) && unit == u'&') {
            if (i + 1 < count && text[i + 1] == u'&') {
                ++i;
            } else {
                lines.back().underlined = lines.back().text.size();
                continue;
            }
        }
        lines.back().text += unit;
    }
    return lines;
}

int Width(ScaledFont &font, const std::u16string &text, size_t count) {
    return LayOutRun(font, text.data(), count).width;
}

// Breaks each line between words so that it fits the width; a word wider than the width keeps a
// line of its own. The spaces where a line breaks are dropped.
std::vector<Line> WrapLines(ScaledFont &font, const std::vector<Line> &lines, int64_t width) {
    std::vector<Line> wrapped;
    for (const Line &line : lines) {
        size_t start = 0;
        const std::u16string &text = line.text;
        do {
            size_t end = text.size();
            if (Width(font, text.substr(start), text.size() - start) > width) {
                // The last space after which the words before it still fit.
                size_t fit = std::u16string::npos;
                for (size_t space = text.find(u' ', start); space != std::u16string::npos;
                     space = text.find(u' ', space + 1)) {
                    if (space > start && Width(font, text.substr(start), space - start) > width) {
                        break;
                    }
                    fit = space;
                }
                if (fit == std::u16string::npos || fit == start) {
                    fit = text.find(u' ', start + 1);
                }
                end = fit == std::u16string::npos ? text.size() : fit;
            }
            Line piece;
            piece.text = text.substr(start, end - start);
            if (line.underlined != std::u16string::npos && line.underlined >= start &&
                line.underlined < end) {
                piece.underlined = line.underlined - start;
            }
            wrapped.push_back(std::move(piece));
            start = end;
            while (start < text.size() && text[start] == u' ') {
                ++start;
            }
        } while (start < text.size());
    }
    return wrapped;
}

void Underline(DcObject &context, const TextRun &run, size_t unit, int x, int baseline,
               const Box &clip) {
    for (size_t i = 0; i < run.characters.size(); ++i) {
        if (run.characters[i].firstUnit == unit) {
            const PixelPoint start = context.ToSurface(x + run.glyphs[i].x, baseline + 1);
            const Box line{start.x, start.y, start.x + run.glyphs[i].glyph->advance, start.y + 1};
            FillBox(*context.surface, clip, line,
                    PixelForSurface(*context.surface, context.textColor));
        }
    }
}

} // namespace

extern "C" int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return 0;
    }
    if (rect == nullptr || count < -1 || (count != 0 && text == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t units =
        count == -1 ? std::char_traits<char16_t>::length(text) : static_cast<size_t>(count);
    if (units == 0) {
        if (format & DT_CALCRECT) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    ScaledFont &font = DcFont(*context);
    const FontMetrics &metrics = font.Metrics();
    std::vector<Line> lines = SplitLines(text, units, format);
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
        lines = WrapLines(font, lines, int64_t(rect->right) - rect->left);
    }
    std::vector<TextRun> runs;
    int widest = 0;
    for (const Line &line : lines) {
        runs.push_back(LayOutRun(font, line.text.data(), line.text.size()));
        widest = std::max(widest, runs.back().width);
    }
    const int64_t height = int64_t(metrics.height) * int64_t(runs.size());
    const int textHeight = static_cast<int>(std::min<int64_t>(height, INT32_MAX / 4));
    if (format & DT_CALCRECT) {
        rect->right = static_cast<LONG>(std::min<int64_t>(int64_t(rect->left) + widest, INT32_MAX));
        rect->bottom =
            static_cast<LONG>(std::min<int64_t>(int64_t(rect->top) + textHeight, INT32_MAX));
        return textHeight;
    }
    // Vertical placement applies to a single line only, as on Windows.
    int64_t top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            top += (int64_t(rect->bottom) - rect->top - textHeight) / 2;
        } else if (format & DT_BOTTOM) {
            top = int64_t(rect->bottom) - textHeight;
        }
    }
    std::vector<Box> clips = context->ClipBoxes();
    if (!(format & DT_NOCLIP)) {
        const Box box = SurfaceBox(*context, rect->left, rect->top, rect->right, rect->bottom);
        for (Box &clip : clips) {
            clip = Intersect(clip, box);
        }
    }
    for (size_t i = 0; i < runs.size() && context->surface; ++i) {
        const TextRun &run = runs[i];
        int64_t left = rect->left;
        if (format & DT_CENTER) {
            left += (int64_t(rect->right) - rect->left - run.width) / 2;
        } else if (format & DT_RIGHT) {
            left = int64_t(rect->right) - run.width;
        }
        const auto clamp = [](int64_t value) {
            return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN / 2, INT32_MAX / 2));
        };
        const int x = clamp(left);
        const int y = clamp(top + int64_t(i) * metrics.height);
        for (const Box &clip : clips) {
            DrawRun(*context, font, run, x, y, clip);
            if (lines[i].underlined != std::u16string::npos) {
                Underline(*context, run, lines[i].underlined, x, y + metrics.ascent, clip);
            }
        }
    }
    if (format & DT_SINGLELINE && format & (DT_VCENTER | DT_BOTTOM)) {
        return static_cast<int>(
            std::clamp<int64_t>(top - rect->top + textHeight, INT32_MIN / 2, INT32_MAX / 2));
    }
    return textHeight;
}
