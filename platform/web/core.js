"use strict";
// The core as the page's scripts see it: the settings and the renderer as objects over the
// functions the WebAssembly module exports. Slider names stand for the core's slider numbers.

// eslint-disable-next-line no-unused-vars
function wrapCore(module) {
    const sliders = ["sectors", "speed", "delay"];
    const inputEvents = ["click", "dblclick", "keydown", "keypress", "mousemove"];
    const number = (name) => sliders.indexOf(name);

    // Passes a string to the core as UTF-8 for the length of one call.
    function withText(text, use) {
        const size = module.lengthBytesUTF8(text) + 1;
        const pointer = module._malloc(size);
        try {
            module.stringToUTF8(text, pointer, size);
            return use(pointer);
        } finally {
            module._free(pointer);
        }
    }

    function range(name) {
        const field = (i) => module._mirelune_slider_range(number(name), i);
        return { min: field(0), max: field(1), smallChange: field(2), largeChange: field(3) };
    }

    class Settings {
        constructor(storedText) {
            this.handle = withText(storedText, (text) => module._mirelune_settings_new(text));
        }
        override(name, valueText) {
            withText(String(valueText), (text) =>
                module._mirelune_settings_override(this.handle, number(name), text));
        }
        move(name, position) {
            module._mirelune_settings_move(this.handle, number(name), position);
        }
        position(name) {
            return module._mirelune_settings_position(this.handle, number(name));
        }
        label(name, decimalSeparator) {
            return withText(decimalSeparator, (separator) => module.UTF8ToString(
                module._mirelune_settings_label(this.handle, number(name), separator)));
        }
        storedText() {
            return module.UTF8ToString(module._mirelune_settings_stored_text(this.handle));
        }
    }

    class Saver {
        constructor(settings, width, height, seedText) {
            this.handle = withText(seedText, (seed) =>
                module._mirelune_saver_new(settings.handle, width, height, seed));
        }
        dispose() {
            module._mirelune_saver_delete(this.handle);
        }
        resize(width, height) {
            module._mirelune_saver_resize(this.handle, width, height);
        }
        startPainting() {
            module._mirelune_saver_start_painting(this.handle);
        }
        applySpeedAndDelay(settings) {
            module._mirelune_saver_apply(this.handle, settings.handle);
        }
        // The deadlines are on the clock passed in, or -Infinity (due now) and Infinity (none).
        step(nowMs) {
            return module._mirelune_saver_step(this.handle, nowMs);
        }
        nextStepAt() {
            return module._mirelune_saver_next_step_at(this.handle);
        }
        pictures() {
            return module._mirelune_saver_pictures(this.handle);
        }
        // Each changed span of rows as an ImageData to put at {first} on the canvas.
        takeChangedRows() {
            const count = module._mirelune_saver_take_rows(this.handle);
            const spans = module._mirelune_saver_spans(this.handle) >> 2;
            const width = module._mirelune_saver_width(this.handle);
            const rgba = module._mirelune_saver_rgba(this.handle);
            const rows = [];
            for (let i = 0; i < count && width > 0; ++i) {
                const first = module.HEAP32[spans + 2 * i];
                const height = module.HEAP32[spans + 2 * i + 1];
                const bytes = new Uint8ClampedArray(module.HEAPU8.buffer,
                                                    rgba + 4 * width * first, 4 * width * height);
                rows.push({ first, image: new ImageData(bytes, width, height) });
            }
            return rows;
        }
        beginFullScreen() {
            module._mirelune_saver_begin_full_screen(this.handle);
        }
        endsFullScreen(eventType) {
            return module._mirelune_saver_ends_full_screen(this.handle,
                                                          inputEvents.indexOf(eventType)) !== 0;
        }
    }

    return { sliders, range, Settings, Saver };
}
