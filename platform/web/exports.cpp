// The functions the page's script calls. Objects cross as pointers the script holds and hands
// back; texts come in as UTF-8 and go out as pointers into the object that owns them, valid
// until the next call on it. Times are the page's milliseconds since it loaded.
#include <emscripten/emscripten.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "web_saver.h"
#include "web_settings.h"

using mirelune::InputEvent;
using mirelune::Size;
using mirelune::web::Slider;
using mirelune::web::WebSaver;
using mirelune::web::WebSettings;

namespace {

// Each object with the last text handed out about it.
struct SettingsHandle {
    WebSettings settings;
    std::string text;
};

// A seed as the headless renderer takes one: the whole text an unsigned 64-bit decimal number.
// Anything else leaves the pictures to the clock.
mirelune::SeedClock seedClockFor(std::string_view seedText) {
    std::uint64_t seed = 0;
    const char* end = seedText.data() + seedText.size();
    const auto [stop, status] = std::from_chars(seedText.data(), end, seed);
    if (!seedText.empty() && status == std::errc{} && stop == end) {
        return mirelune::fixedSeedClock(seed);
    }
    return [] {
        return static_cast<std::uint64_t>(
            std::chrono::system_clock::now().time_since_epoch().count());
    };
}

double deadline(std::int64_t ms) {
    if (ms == mirelune::kNoDeadline) return std::numeric_limits<double>::infinity();
    if (ms == mirelune::kDueNow) return -std::numeric_limits<double>::infinity();
    return static_cast<double>(ms);
}

Slider sliderOf(int index) {
    return static_cast<Slider>(index);
}

}  // namespace

extern "C" {

// -- the settings --------------------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE SettingsHandle* mirelune_settings_new(const char* storedText) {
    return new SettingsHandle{WebSettings(storedText), {}};
}

EMSCRIPTEN_KEEPALIVE void mirelune_settings_override(SettingsHandle* handle, int slider,
                                                     const char* valueText) {
    handle->settings.setFromText(sliderOf(slider), valueText);
}

EMSCRIPTEN_KEEPALIVE void mirelune_settings_move(SettingsHandle* handle, int slider, int p) {
    handle->settings.move(sliderOf(slider), p);
}

EMSCRIPTEN_KEEPALIVE int mirelune_settings_position(SettingsHandle* handle, int slider) {
    return handle->settings.position(sliderOf(slider));
}

EMSCRIPTEN_KEEPALIVE const char* mirelune_settings_label(SettingsHandle* handle, int slider,
                                                         const char* decimalSeparator) {
    handle->text = handle->settings.label(sliderOf(slider), decimalSeparator);
    return handle->text.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* mirelune_settings_stored_text(SettingsHandle* handle) {
    handle->text = handle->settings.storedText();
    return handle->text.c_str();
}

// The slider's range and steps: 0 min, 1 max, 2 arrow-key step, 3 page-key step.
EMSCRIPTEN_KEEPALIVE int mirelune_slider_range(int slider, int field) {
    const mirelune::SliderConfig& range = mirelune::ConfigDialogModel::range(sliderOf(slider));
    const std::int32_t fields[] = {range.min, range.max, range.smallChange, range.largeChange};
    return fields[field];
}

// -- the renderer --------------------------------------------------------------------------

EMSCRIPTEN_KEEPALIVE WebSaver* mirelune_saver_new(const SettingsHandle* settings, int width,
                                                  int height, const char* seedText) {
    return new WebSaver(seedClockFor(seedText), settings->settings.settings(), Size{width, height});
}

EMSCRIPTEN_KEEPALIVE void mirelune_saver_delete(WebSaver* saver) {
    delete saver;
}

EMSCRIPTEN_KEEPALIVE void mirelune_saver_resize(WebSaver* saver, int width, int height) {
    saver->resize(Size{width, height});
}

EMSCRIPTEN_KEEPALIVE void mirelune_saver_start_painting(WebSaver* saver) {
    saver->startPainting();
}

EMSCRIPTEN_KEEPALIVE void mirelune_saver_apply(WebSaver* saver, const SettingsHandle* settings) {
    saver->applySpeedAndDelay(settings->settings.settings());
}

EMSCRIPTEN_KEEPALIVE double mirelune_saver_step(WebSaver* saver, double nowMs) {
    return deadline(saver->step(static_cast<std::int64_t>(std::floor(nowMs))));
}

EMSCRIPTEN_KEEPALIVE double mirelune_saver_next_step_at(WebSaver* saver) {
    return deadline(saver->nextStepAt());
}

// Converts the changed rows; returns how many spans spans() lists, each as {first, count}.
EMSCRIPTEN_KEEPALIVE int mirelune_saver_take_rows(WebSaver* saver) {
    saver->takeChangedRows();
    return static_cast<int>(saver->spans().size());
}

EMSCRIPTEN_KEEPALIVE const mirelune::RowSpan* mirelune_saver_spans(WebSaver* saver) {
    return saver->spans().data();
}

EMSCRIPTEN_KEEPALIVE const std::uint32_t* mirelune_saver_rgba(WebSaver* saver) {
    return saver->rgba();
}

EMSCRIPTEN_KEEPALIVE int mirelune_saver_width(WebSaver* saver) {
    return saver->width();
}

EMSCRIPTEN_KEEPALIVE double mirelune_saver_pictures(WebSaver* saver) {
    return static_cast<double>(saver->picturesCompleted());
}

EMSCRIPTEN_KEEPALIVE void mirelune_saver_begin_full_screen(WebSaver* saver) {
    saver->beginFullScreen();
}

// event: 0 click, 1 double click, 2 key down, 3 key press, 4 mouse move.
EMSCRIPTEN_KEEPALIVE int mirelune_saver_ends_full_screen(WebSaver* saver, int event) {
    return saver->endsFullScreen(static_cast<InputEvent>(event)) ? 1 : 0;
}

}  // extern "C"
