"use strict";
// Time per picture in the browser against the native renderer, for the same size, sectors and
// seed, at speed 69 with no delay, written as JSON for scripts/performance-report:
//   node scripts/web-picture-time.js [--json FILE] [--pictures N]
// The browser's figure is the page's own work per picture (steps, the copy into the canvas's
// bytes and putImageData), counted while it paints picture after picture in headless Chromium.
// The native one is mirelune-render's time for N more pictures, divided by N, so that its
// start and PNG writing drop out. Each is the median of three rounds.

const fs = require("fs");
const { execFileSync } = require("child_process");
const harness = require("../tests/web/harness");

const args = process.argv.slice(2);
const option = (name, fallback) => {
    const at = args.indexOf(name);
    return at >= 0 ? args[at + 1] : fallback;
};
const pictures = Number(option("--pictures", "300"));
const size = { width: 1024, height: 768 };
const sectors = 5;
const seed = 11;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function nativeRound() {
    const run = (count) => {
        const started = process.hrtime.bigint();
        execFileSync(harness.renderTool, ["--seed", String(seed), "--size",
                                          `${size.width}x${size.height}`, "--sectors",
                                          String(sectors), "--pictures", String(count),
                                          "-o", "/dev/null"]);
        return Number(process.hrtime.bigint() - started) / 1e6;
    };
    return (run(1 + pictures) - run(1)) / pictures;
}

async function browserRound(browser, url) {
    const page = await harness.openPage(browser, [], size);
    await page.goto(`${url}/index.html?seed=${seed}&sectors=${sectors}&speed=69&delay=0`);
    await harness.waitForPictures(page, 3);
    const sample = () => page.evaluate(() => ({ ...window.mirelune, at: performance.now() }));
    const start = await sample();
    await harness.waitForPictures(page, start.pictures + pictures, 120000);
    const end = await sample();
    await page.browserContext().close();
    const count = end.pictures - start.pictures;
    return { busy: (end.busyMs - start.busyMs) / count, wall: (end.at - start.at) / count };
}

(async () => {
    const server = await harness.serve(harness.webBuild);
    const browser = await harness.launchBrowser();
    const rounds = [];
    try {
        for (let i = 0; i < 3; ++i) rounds.push(await browserRound(browser, server.url));
    } finally {
        await browser.close();
        await server.close();
    }
    const native = median([nativeRound(), nativeRound(), nativeRound()]);
    const browserMs = median(rounds.map((r) => r.busy));
    const figures = {
        size: `${size.width}x${size.height}`, sectors, pictures,
        browser_picture_ms: browserMs,
        browser_wall_picture_ms: median(rounds.map((r) => r.wall)),
        native_picture_ms: native,
        browser_native_ratio: browserMs / native,
    };
    console.log(`web figure: ${figures.size}, ${sectors} sectors: ` +
                `browser ${browserMs.toFixed(3)} ms ` +
                `per picture (${figures.browser_wall_picture_ms.toFixed(2)} ms on the clock, ` +
                `paced by animation frames), native ${native.toFixed(3)} ms: ratio ` +
                `${figures.browser_native_ratio.toFixed(2)}`);
    const json = option("--json");
    if (json) fs.writeFileSync(json, JSON.stringify(figures, null, 2) + "\n");
})().catch((error) => {
    console.error(`web-picture-time: ${error.message}`);
    process.exit(1);
});
