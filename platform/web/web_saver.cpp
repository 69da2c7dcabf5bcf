#include "web_saver.h"

#include <utility>

#include "host/render_driver.h"

namespace mirelune::web {
namespace {

HostContext& seeded(HostContext& context) {
    context.runMode = RunMode::Saver;
    context.random.randomize();
    return context;
}

}  // namespace

WebSaver::WebSaver(SeedClock seedClock, const Settings& settings, Size size)
    : context_(std::move(seedClock)),
      fract_(seeded(context_).random, toRenderSettings(settings), size, WindowState::Maximized) {
    fract_.resize(size);
    fract_.startPainting();
}

void WebSaver::applySpeedAndDelay(const Settings& settings) {
    const RenderSettings wanted = toRenderSettings(settings);
    fract_.settings().speed = wanted.speed;
    fract_.settings().delay = wanted.delay;
    fract_.endWait();
}

void WebSaver::takeChangedRows() {
    const Surface& surface = fract_.surface();
    const auto pixels = static_cast<std::size_t>(surface.width()) * surface.height();
    if (rgba_.size() != pixels) rgba_.assign(pixels, 0);
    spans_ = fract_.takeChangedRows();
    // A colour is 0x00BBGGRR, so on WebAssembly's little-endian memory it already lies in
    // the canvas's byte order: only the alpha byte needs setting. A plain indexed loop, which
    // the compiler turns into vector instructions (it did not for std::transform here).
    for (const RowSpan& span : spans_) {
        const auto count = static_cast<std::size_t>(span.count) * surface.width();
        const Colour* in = surface.row(span.first);
        std::uint32_t* out = rgba_.data() + (in - surface.row(0));
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = in[i] | 0xFF000000u;
        }
    }
}

bool WebSaver::endsFullScreen(InputEvent event) {
    return session_ && session_->onInput(event);
}

}  // namespace mirelune::web
