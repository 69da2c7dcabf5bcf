#include "host/render_driver.h"

#include <algorithm>
#include <vector>

namespace mirelune {
namespace {

void stepOne(const Kaleidoscope& k, std::int64_t nowMs) {
    Fract& fract = *k.fract;
    if (!k.window->resting()) fract.step(nowMs);
    const std::vector<RowSpan> rows = fract.takeChangedRows();
    if (!rows.empty()) k.window->present(fract.surface(), rows);
    const Size wanted = fract.wantedSize();
    if (wanted != Size{fract.surface().width(), fract.surface().height()}) {
        k.window->setClientSize(wanted);
    }
}

class LoneKaleidoscope final : public KaleidoscopeSet {
  public:
    LoneKaleidoscope(Fract& fract, RenderWindow& window) : kaleidoscope_{&fract, &window} {}
    std::span<const Kaleidoscope> kaleidoscopes() override { return {&kaleidoscope_, 1}; }
    bool closed() const override { return kaleidoscope_.window->closed(); }

  private:
    Kaleidoscope kaleidoscope_;
};

}  // namespace

void runRenderLoop(EventLoop& events, KaleidoscopeSet& set) {
    while (!set.closed()) {
        // Every renderer gets its step in each round; one whose wait runs does nothing.
        const std::int64_t stepped = events.nowMs();
        for (const Kaleidoscope& k : set.kaleidoscopes())
            stepOne(k, stepped);

        // Events get their turn after every round, also when the next step is due at once
        // (no speed wait, no delay, or nothing to draw): the loop can never starve them.
        events.processPendingEvents();
        if (set.closed()) break;
        // The events may have given the loop work (a start, a resize, a wait cut short, a new
        // set of monitors): the sleep lasts until the step that is due now, not the one due
        // before them. Only one wait runs for all the renderers: the earliest.
        std::int64_t deadline = kNoDeadline;
        for (const Kaleidoscope& k : set.kaleidoscopes()) {
            if (!k.window->resting()) deadline = std::min(deadline, k.fract->nextStepAt());
        }
        // A clock that went back since the step would make its deadline too far off; the
        // next step measures its wait again.
        const std::int64_t now = events.nowMs();
        if (now >= stepped && deadline > now) events.waitForEvents(deadline);
    }
}

void runRenderLoop(EventLoop& events, Fract& fract, RenderWindow& window) {
    LoneKaleidoscope lone(fract, window);
    runRenderLoop(events, lone);
}

}  // namespace mirelune
