// The renderer as the page drives it: one Fract on the host's generator, the rows it changed
// turned into the canvas's RGBA bytes, and the saver's exit rules for the full-screen view.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/host_context.h"
#include "host/saver_session.h"
#include "render/fract.h"
#include "settings/settings.h"

namespace mirelune::web {

class WebSaver {
  public:
    // Seeds like the other programs: once at start-up, once more when the window loads.
    WebSaver(SeedClock seedClock, const Settings& settings, Size size);

    // The canvas changed size: the picture starts again at the new size.
    void resize(Size size) { fract_.resize(size); }
    // After the page was hidden: a fresh picture.
    void startPainting() { fract_.startPainting(); }

    // Speed and delay take effect at once, cutting short the wait in progress. The sector
    // count is fixed for a saver's life: a new count needs a new saver.
    void applySpeedAndDelay(const Settings& settings);

    // One step of the picture loop at nowMs; returns when the next one is due.
    std::int64_t step(std::int64_t nowMs) { return fract_.step(nowMs); }
    std::int64_t nextStepAt() const { return fract_.nextStepAt(); }

    // Copies the rows changed since the last call into rgba() and lists them in spans().
    void takeChangedRows();
    // The surface as canvas bytes: red, green, blue, then an opaque alpha.
    const std::uint32_t* rgba() const { return rgba_.data(); }
    const std::vector<RowSpan>& spans() const { return spans_; }
    int width() const { return fract_.surface().width(); }
    int height() const { return fract_.surface().height(); }
    std::uint64_t picturesCompleted() const { return fract_.picturesCompleted(); }

    // Entering full screen starts a new count of mouse moves.
    void beginFullScreen() { session_.emplace(context_); }
    // True when this input ends the full-screen view, as it would end the saver.
    bool endsFullScreen(InputEvent event);

  private:
    HostContext context_;
    Fract fract_;
    std::optional<SaverSession> session_;
    std::vector<std::uint32_t> rgba_;
    std::vector<RowSpan> spans_;
};

}  // namespace mirelune::web
