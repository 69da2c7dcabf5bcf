// Which rows of a surface changed since the platform last presented it. The painter marks
// rows as it writes them; the platform takes the list and copies only those rows to the
// screen, so a row of a 4K picture costs a few strips, not a whole frame.
#pragma once

#include <cstdint>
#include <vector>

namespace mirelune {

struct RowSpan {
    int first = 0;
    int count = 0;
    bool operator==(const RowSpan&) const = default;
};

class ChangedRows {
  public:
    void reset(int height);  // forget everything; rows 0..height-1 may be marked
    void mark(int y);        // rows outside the surface are ignored
    void markRange(int first, int count);

    // The marked rows as sorted, merged spans; clears the marks.
    std::vector<RowSpan> take();

  private:
    std::vector<std::uint8_t> rows_;
    int marked_ = 0;
};

}  // namespace mirelune
