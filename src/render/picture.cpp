#include "render/picture.h"

#include <algorithm>
#include <cmath>

#include "render/escape_time.h"

namespace mirelune {
namespace {

constexpr int kStartColumn = 250 / 4;
constexpr int kStartRow = 37;

int drawDirection(Random& random) {
    return 2 * static_cast<int>(std::floor(2 * random.next())) - 1;
}

// Steps from (column, row) by (dx, dy) until the map colour differs from ref, or the
// coordinate that moves reaches limit. The first step is always taken.
void walk(const FractalMap& map, Colour ref, int& column, int& row, int dx, int dy,
          const int* limit) {
    for (;;) {
        column += dx;
        row += dy;
        if (map.at(column, row) != ref) return;
        if (limit && (dx ? column : row) == *limit) return;
    }
}

}  // namespace

ViewWindow getstart(const FractalMap& map, Random& random, bool mandel) {
    int column = kStartColumn;
    int row = kStartRow;
    const Colour ref = map.at(column, row);

    const bool horizontalFirst = 2 * random.next() < 1;
    const int direction = drawDirection(random);
    const int reach = static_cast<int>(std::floor(32 * random.next()));
    if (horizontalFirst) {
        const int limit = kStartColumn + direction * reach;
        walk(map, ref, column, row, direction, 0, &limit);
        if (map.at(column, row) == ref)
            walk(map, ref, column, row, 0, drawDirection(random), nullptr);
    } else {
        const int limit = kStartRow + direction * reach;
        walk(map, ref, column, row, 0, direction, &limit);
        if (map.at(column, row) == ref)
            walk(map, ref, column, row, drawDirection(random), 0, nullptr);
    }

    // The row is turned into a point bottom-up, the mirror image of the map's top-down rows;
    // the set is symmetric about the real axis, so the point has the same count.
    const float cx = static_cast<float>(column) * 4 / 100 - 2.5f;
    const float cy = static_cast<float>(row) * 3 / 75 - 1.5f;

    float width = static_cast<float>(random.next() * 0.5 + 0.04);
    float height = static_cast<float>(random.next() * 0.38 + 0.03);
    if (!mandel) {
        width *= 8;
        height *= 8;
    }
    ViewWindow window;
    window.left = cx - width / 2;
    window.top = cy + height / 2;
    window.right = window.left + width;
    window.bottom = window.top - height;
    return window;
}

PictureRows::PictureRows(const ViewWindow& window, int fwidth, int fheight, bool mandel)
    : fwidth_(fwidth), mandel_(mandel), xs_(window.left), cY_(window.top) {
    if (fwidth > 0) {
        xc_ = static_cast<float>(static_cast<double>(window.right - window.left) / fwidth);
    }
    if (fheight > 0) {
        yc_ = static_cast<float>(static_cast<double>(window.bottom - window.top) / fheight);
    }
    if (!mandel) {
        cre_ = (window.right + window.left) / 2;
        cim_ = (window.bottom + window.top) / 2;
    }
}

void PictureRows::computeRow(std::span<Colour> out, const Palette& col) const {
    const int count = std::min(fwidth_, static_cast<int>(out.size()));
    const float cim = mandel_ ? cY_ : cim_;
    float x = xs_;
    if (mandel_) {
        for (int px = 0; px < count; ++px) {
            out[px] = col[escapeCount(x, cY_, x, cim) - 1];
            x += xc_;
        }
    } else {
        for (int px = 0; px < count; ++px) {
            out[px] = col[escapeCount(x, cY_, cre_, cim) - 1];
            x += xc_;
        }
    }
}

}  // namespace mirelune
