#include "host/render_driver.h"

#include <vector>

namespace mirelune {

void runRenderLoop(EventLoop& events, Fract& fract, RenderWindow& window) {
    while (!window.closed()) {
        const std::int64_t stepped = events.nowMs();
        const std::int64_t deadline = window.resting() ? kNoDeadline : fract.step(stepped);

        const std::vector<RowSpan> rows = fract.takeChangedRows();
        if (!rows.empty()) window.present(fract.surface(), rows);
        const Size wanted = fract.wantedSize();
        if (wanted != Size{fract.surface().width(), fract.surface().height()}) {
            window.setClientSize(wanted);
        }

        // Events get their turn after every step, also when the next step is due at once
        // (no speed wait, no delay, or nothing to draw): the loop can never starve them.
        events.processPendingEvents();
        if (window.closed()) break;
        // A clock that went back since the step would make its deadline too far off; the
        // next step measures its wait again.
        const std::int64_t now = events.nowMs();
        if (now >= stepped && deadline > now) events.waitForEvents(deadline);
    }
}

}  // namespace mirelune
