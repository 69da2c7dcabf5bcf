"use strict";
// Writes the wallpaper programs' descriptions of the three settings, LivelyProperties.json
// (Lively Wallpaper) and project.json (Wallpaper Engine), with the sliders' ranges, steps and
// defaults taken from the core itself.
//   node describe.js MIRELUNE_JS OUT_DIR

const fs = require("fs");
const path = require("path");
const vm = require("vm");

const [moduleScript, outDir] = process.argv.slice(2);
vm.runInThisContext(fs.readFileSync(path.join(__dirname, "..", "core.js"), "utf8"));

const captions = { sectors: "Sectors", delay: "Delay", speed: "Speed" };  // the dialog's order
const write = (name, value) =>
    fs.writeFileSync(path.join(outDir, name), JSON.stringify(value, null, 2) + "\n");

// Node has fetch(), which cannot read a file path: the module gets its code handed over.
const wasmBinary = fs.readFileSync(moduleScript.replace(/\.js$/, ".wasm"));
require(path.resolve(moduleScript))({ wasmBinary }).then((module) => {
    const core = wrapCore(module);  // eslint-disable-line no-undef
    const defaults = new core.Settings("");
    const sliders = Object.keys(captions).map((name) => ({
        name, text: captions[name], value: defaults.position(name), ...core.range(name),
    }));

    const lively = {};
    for (const s of sliders) {
        lively[s.name] = { type: "slider", value: s.value, text: s.text, min: s.min, max: s.max,
                           step: s.smallChange };
    }
    write("LivelyProperties.json", lively);

    const properties = {};
    sliders.forEach((s, order) => {
        properties[s.name] = { order, text: s.text, type: "slider", value: s.value, min: s.min,
                               max: s.max, step: s.smallChange, fraction: false };
    });
    write("project.json", {
        file: "index.html",
        title: "Mirelune",
        description: "An animated fractal kaleidoscope: small Mandelbrot and Julia pictures, " +
                     "mirrored into a grid of tiles row by row.",
        preview: "preview.png",
        type: "web",
        general: { properties },
    });
});
