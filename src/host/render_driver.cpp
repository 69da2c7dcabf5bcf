#include "host/render_driver.h"

#include <vector>

namespace mirelune {

void runRenderLoop(Platform& platform, Fract& fract, RenderWindow& window) {
    while (!window.closed()) {
        const std::int64_t deadline = window.resting() ? kNoDeadline : fract.step(platform.nowMs());

        const std::vector<RowSpan> rows = fract.takeChangedRows();
        if (!rows.empty()) window.present(fract.surface(), rows);
        const Size wanted = fract.wantedSize();
        if (wanted != Size{fract.surface().width(), fract.surface().height()}) {
            window.setClientSize(wanted);
        }

        // Events get their turn after every step, also when the next step is due at once
        // (no speed wait, no delay, or nothing to draw): the loop can never starve them.
        platform.processPendingEvents();
        if (window.closed()) break;
        if (deadline > platform.nowMs()) platform.waitForEvents(deadline);
    }
}

}  // namespace mirelune
