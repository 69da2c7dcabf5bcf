#include "host/render_driver.h"

#include <vector>

namespace mirelune {

void runRenderLoop(EventLoop& events, Fract& fract, RenderWindow& window) {
    while (!window.closed()) {
        const std::int64_t stepped = events.nowMs();
        if (!window.resting()) fract.step(stepped);

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
        // The events may have given the loop work (a start, a resize, a wait cut short): the
        // sleep lasts until the step that is due now, not the one due before them.
        const std::int64_t deadline = window.resting() ? kNoDeadline : fract.nextStepAt();
        // A clock that went back since the step would make its deadline too far off; the
        // next step measures its wait again.
        const std::int64_t now = events.nowMs();
        if (now >= stepped && deadline > now) events.waitForEvents(deadline);
    }
}

}  // namespace mirelune
