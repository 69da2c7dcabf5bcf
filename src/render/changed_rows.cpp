#include "render/changed_rows.h"

#include <algorithm>

namespace mirelune {

void ChangedRows::reset(int height) {
    rows_.assign(static_cast<std::size_t>(std::max(height, 0)), 0);
    marked_ = 0;
}

void ChangedRows::mark(int y) {
    if (y < 0 || y >= static_cast<int>(rows_.size()) || rows_[y]) return;
    rows_[y] = 1;
    ++marked_;
}

void ChangedRows::markRange(int first, int count) {
    for (int y = std::max(first, 0); y < first + count && y < static_cast<int>(rows_.size()); ++y) {
        mark(y);
    }
}

std::vector<RowSpan> ChangedRows::take() {
    std::vector<RowSpan> spans;
    if (marked_ == 0) return spans;
    const int height = static_cast<int>(rows_.size());
    for (int y = 0; y < height;) {
        if (!rows_[y]) {
            ++y;
            continue;
        }
        int end = y;
        while (end < height && rows_[end])
            rows_[end++] = 0;
        spans.push_back({y, end - y});
        y = end;
    }
    marked_ = 0;
    return spans;
}

}  // namespace mirelune
