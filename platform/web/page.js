"use strict";
// The page: the canvas at the device's pixel size, and the picture loop. Each run does the
// steps that are due (a short slice of them when rows follow without a wait), puts the rows
// they changed on the canvas, then sleeps until the core's next deadline: a timer for a wait,
// the next animation frame when work is due at once, nothing at all while the page is hidden
// or only an event can give the loop work.

/* global createMirelune, wrapCore, loadSettings, createPanel, setUpFullScreen, wallpaperHosts */

(() => {
    const canvas = document.getElementById("screen");
    const context = canvas.getContext("2d", { alpha: false });
    const query = new URLSearchParams(window.location.search);
    const sliceMs = 10;  // the longest run of back-to-back steps before the browser's turn

    // What the loop has done, for the browser tests and the performance figures.
    const status = { ready: false, steps: 0, busyMs: 0, pictures: 0 };
    window.mirelune = status;

    let core = null;
    let settings = null;
    let saver = null;
    let timer = 0;
    let frame = 0;

    function present() {
        for (const { first, image } of saver.takeChangedRows()) {
            context.putImageData(image, 0, first);
        }
    }

    function run() {
        timer = 0;
        frame = 0;
        const started = performance.now();
        let now = started;
        let next;
        do {
            next = saver.step(now);
            status.steps += 1;
            now = performance.now();
        } while (next <= now && now - started < sliceMs);
        present();
        status.pictures = saver.pictures();
        status.busyMs += performance.now() - started;
        schedule();
    }

    function schedule() {
        clearTimeout(timer);
        cancelAnimationFrame(frame);
        timer = 0;
        frame = 0;
        if (!saver || document.hidden) return;
        const wait = saver.nextStepAt() - performance.now();
        if (wait === Infinity) return;
        if (wait > 0) timer = setTimeout(run, wait);
        else frame = requestAnimationFrame(run);
    }

    // A new renderer on a black canvas: at start, and for a new sector count.
    function restart() {
        if (saver) saver.dispose();
        context.fillStyle = "#000";
        context.fillRect(0, 0, canvas.width, canvas.height);
        saver = new core.Saver(settings, canvas.width, canvas.height, query.get("seed") || "");
        status.pictures = 0;
        schedule();
    }

    function settingChanged(name) {
        if (name === "sectors") {
            restart();
        } else {
            saver.applySpeedAndDelay(settings);
            schedule();
        }
    }

    // The canvas takes the device's pixels, so tiles are as sharp as on a native screen. The
    // device-pixel box is exact where the ratio is fractional, but a browser emulating a
    // ratio may report CSS pixels in it: it counts only when it agrees with the ratio.
    function sizeOf(entry) {
        const ratio = window.devicePixelRatio || 1;
        const scaled = [Math.round(entry.contentRect.width * ratio),
                        Math.round(entry.contentRect.height * ratio)];
        const box = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
        if (box && Math.abs(box.inlineSize - scaled[0]) <= 1 &&
            Math.abs(box.blockSize - scaled[1]) <= 1) {
            return [box.inlineSize, box.blockSize];
        }
        return scaled;
    }

    function resized([entry]) {
        const [width, height] = sizeOf(entry);
        if (saver && width === canvas.width && height === canvas.height) return;
        canvas.width = width;
        canvas.height = height;
        if (!saver) {
            restart();
            return;
        }
        saver.resize(width, height);  // the renderer repaints the whole canvas
        schedule();
    }

    document.addEventListener("visibilitychange", () => {
        if (!saver) return;
        if (!document.hidden) saver.startPainting();
        schedule();
    });

    createMirelune().then((module) => {
        core = wrapCore(module);
        settings = loadSettings(core, query);
        const panel = createPanel(core, settings, settingChanged);
        setUpFullScreen(() => saver);
        wallpaperHosts.connect((name, value) => {
            if (!core.sliders.includes(name)) return;
            panel.retire();
            settings.override(name, value);
            panel.refresh();
            settingChanged(name);
        });
        const observer = new ResizeObserver(resized);
        try {
            observer.observe(canvas, { box: "device-pixel-content-box" });
        } catch (error) {
            observer.observe(canvas);  // a browser without device-pixel boxes
        }
        status.ready = true;
    });
})();
