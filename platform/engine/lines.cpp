// Lines rasterised into a coverage mask over the part of the surface they can reach, then
// combined with the surface once per covered pixel.
#include "engine/lines.h"

#include "engine/raster_ops.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Which pixels of box a call covers.
struct Coverage {
    explicit Coverage(const Box &area)
        : box(area), rowMin(static_cast<size_t>(area.bottom - area.top)),
          rowMax(static_cast<size_t>(area.bottom - area.top)),
          covered(static_cast<size_t>(area.right - area.left) *
                      static_cast<size_t>(area.bottom - area.top),
                  false) {}

    // Starts a segment: its squares are gathered as one span per row, which is exact because the
    // squares along one straight line cover a single run of each row.
    void BeginSegment() {
        std::fill(rowMin.begin(), rowMin.end(), std::numeric_limits<int64_t>::max());
        std::fill(rowMax.begin(), rowMax.end(), std::numeric_limits<int64_t>::min());
    }

    void AddSquare(int64_t left, int64_t top, int64_t size) {
        const int64_t first = std::max<int64_t>(top, box.top);
        const int64_t last = std::min<int64_t>(top + size, box.bottom);
        for (int64_t y = first; y < last; ++y) {
            const size_t row = static_cast<size_t>(y - box.top);
            rowMin[row] = std::min(rowMin[row], left);
            rowMax[row] = std::max(rowMax[row], left + size);
        }
    }

    void EndSegment() {
        const size_t width = static_cast<size_t>(box.right - box.left);
        for (size_t row = 0; row < rowMin.size(); ++row) {
            const int64_t from = std::max<int64_t>(rowMin[row], box.left);
            const int64_t to = std::min<int64_t>(rowMax[row], box.right);
            for (int64_t x = from; x < to; ++x) {
                covered[row * width + static_cast<size_t>(x - box.left)] = true;
            }
        }
    }

    Box box;
    std::vector<int64_t> rowMin;
    std::vector<int64_t> rowMax;
    std::vector<bool> covered;
};

// Adds the squares of one segment, visiting only the points whose squares can reach the box.
void AddSegment(Coverage &coverage, PixelPoint from, PixelPoint to, int width) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    const int64_t adx = std::llabs(dx);
    const int64_t ady = std::llabs(dy);
    const int64_t steps = std::max(adx, ady);
    // A thin pen leaves the last point out; a wide one includes it.
    const int64_t lastStep = width == 1 ? steps - 1 : steps;
    if (lastStep < 0) {
        return;
    }
    const bool xMajor = adx >= ady;
    const int64_t majorStart = xMajor ? from.x : from.y;
    const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t minorStart = xMajor ? from.y : from.x;
    const int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t majorLength = xMajor ? adx : ady;
    const int64_t minorLength = xMajor ? ady : adx;
    // Steps whose major coordinate lies within a pen width of the box.
    const int64_t low = (xMajor ? coverage.box.left : coverage.box.top) - width;
    const int64_t high = (xMajor ? coverage.box.right : coverage.box.bottom) + width;
    int64_t first = majorStep > 0 ? low - majorStart : majorStart - high;
    int64_t last = majorStep > 0 ? high - majorStart : majorStart - low;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, lastStep);
    const int64_t before = (width - 1) / 2;
    coverage.BeginSegment();
    for (int64_t i = first; i <= last; ++i) {
        const int64_t major = majorStart + majorStep * i;
        // The minor coordinate rounded to the nearest pixel, halves away from the start.
        const int64_t minor = majorLength == 0
                                  ? minorStart
                                  : minorStart + minorStep * ((2 * i * minorLength + majorLength) /
                                                              (2 * majorLength));
        const int64_t x = xMajor ? major : minor;
        const int64_t y = xMajor ? minor : major;
        coverage.AddSquare(x - before, y - before, width);
    }
    coverage.EndSegment();
}

} // namespace

void DrawPolyline(Surface &surface, const Box &clip, const std::vector<PixelPoint> &points,
                  const Pen &pen, int mode) {
    if (points.empty()) {
        return;
    }
    const int width = std::clamp(pen.width, 1, maxPenWidth);
    // The mask covers only where the pen can reach.
    int64_t left = points[0].x, top = points[0].y, right = left, bottom = top;
    for (const PixelPoint &point : points) {
        left = std::min<int64_t>(left, point.x);
        right = std::max<int64_t>(right, point.x);
        top = std::min<int64_t>(top, point.y);
        bottom = std::max<int64_t>(bottom, point.y);
    }
    const Box region = Intersect(clip, surface.Bounds());
    const Box reach{static_cast<int>(std::max<int64_t>(left - width, region.left)),
                    static_cast<int>(std::max<int64_t>(top - width, region.top)),
                    static_cast<int>(std::min<int64_t>(right + width + 1, region.right)),
                    static_cast<int>(std::min<int64_t>(bottom + width + 1, region.bottom))};
    if (reach.Empty() || region.Empty()) {
        return;
    }
    Coverage coverage(reach);
    if (points.size() == 1 && width > 1) {
        AddSegment(coverage, points[0], points[0], width);
    }
    for (size_t i = 1; i < points.size(); ++i) {
        AddSegment(coverage, points[i - 1], points[i], width);
    }
    const size_t maskWidth = static_cast<size_t>(reach.right - reach.left);
    for (int y = reach.top; y < reach.bottom; ++y) {
        for (int x = reach.left; x < reach.right; ++x) {
            if (coverage.covered[static_cast<size_t>(y - reach.top) * maskWidth +
                                 static_cast<size_t>(x - reach.left)]) {
                uint32_t &pixel = surface.At(x, y);
                pixel = ApplyRop2(mode, pen.color, pixel);
            }
        }
    }
}
