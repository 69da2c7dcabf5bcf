"use strict";
// The web edition in Debian's Chromium, headless, against the built page served from 127.0.0.1.

const assert = require("node:assert/strict");
const { after, before, it } = require("node:test");
const harness = require("./harness");

let server, browser;
const errors = [];

before(async () => {
    [server, browser] = await Promise.all([harness.serve(harness.webBuild),
                                           harness.launchBrowser()]);
});
after(() => Promise.all([browser?.close(), server?.close()]));

// A page in a fresh context at this address of the build, once its settings are read.
async function visit(address, viewport = undefined) {
    const page = await harness.openPage(browser, errors, viewport);
    await page.goto(`${server.url}/${address}`);
    await page.waitForFunction(() => window.mirelune.ready);
    return page;
}

// What the panel shows: each slider's position and label.
function panelState(page) {
    return page.evaluate(() => Object.fromEntries(["sectors", "delay", "speed"].map((name) => [
        name, [Number(document.getElementById(name).value),
               document.querySelector(`output[for=${name}]`).textContent]])));
}

it("the settings are written by the panel and restored by a reload", async () => {
    const page = await visit("index.html");
    await page.keyboard.press("s");
    assert.equal(await page.$eval("#panel", (panel) => panel.hidden), false);
    // Small steps are 1 (sectors) and 100 (delay), large ones 1000 (delay) and 10 (speed).
    const keys = { sectors: "ArrowRight ArrowRight", delay: "PageUp ArrowLeft", speed: "PageDown" };
    for (const [slider, pressed] of Object.entries(keys)) {
        await page.focus(`#${slider}`);
        for (const key of pressed.split(" ")) await page.keyboard.press(key);
    }
    const moved = { sectors: [7, "7"], delay: [1900, "1,9 sec. "], speed: [59, "Faster"] };
    assert.deepEqual(await panelState(page), moved);
    await page.reload();
    await page.waitForFunction(() => window.mirelune.ready);
    assert.deepEqual(await panelState(page), moved);
    await page.browserContext().close();
});

// The query wins over storage, clamped like the settings file; what it leaves out stays as
// stored; junk of every kind, even storage that throws, leaves sound values that paint.
const stored = "[Mirelune ScreenSaver]\nSectors= 2\nSpeed=40\nDelay=3000\n";
const cases = [
    { stored, query: "?speed=-5&delay=12345ms",
      expected: { sectors: [2, "2"], delay: [12345, "12,3 sec. "], speed: [0, "Slowest"] } },
    { stored: "[Mirelune ScreenSaver\nSectors=zz\n\uFFFD\n[x]\nSpeed=9\n" +
              "[mirelune screensaver]\nDelay=-7",
      query: "?sectors=%0A7&speed=1e999&delay=&seed=-1&sectors=3",
      expected: { sectors: [1, "1"], delay: [1000, "1,0 sec. "], speed: [1, "Slowest"] } },
    { stored: null, query: "?seed=abc",
      expected: { sectors: [5, "5"], delay: [1000, "1,0 sec. "], speed: [69, "Fastest"] } },
];
for (const { stored, query, expected } of cases) {
    it(`settings from ${query} over ${stored === null ? "no storage" : "storage"}`, async () => {
        const page = await harness.openPage(browser, errors);
        // Before the page's own scripts, in the page's origin.
        await page.evaluateOnNewDocument((text) => {
            if (text !== null) return localStorage.setItem("mirelune.ini", text);
            Object.defineProperty(window, "localStorage", {
                get() { throw new DOMException("denied", "SecurityError"); } });
        }, stored);
        await page.goto(`${server.url}/index.html${query}`);
        await page.waitForFunction(() => window.mirelune.ready && window.mirelune.steps > 1);
        assert.deepEqual(await panelState(page), expected);
        await page.browserContext().close();
    });
}

it("wallpaper programs change sectors, speed and delay by their property calls", async () => {
    // The canvas has the device's pixels: a ratio of 2 doubles the renderer's size.
    const page = await visit("wallpaper/index.html?seed=99&delay=20000",
                             { width: 200, height: 150, deviceScaleFactor: 2 });
    await harness.waitForPictures(page, 1);
    // Lively Wallpaper: a new sector count paints a new picture, seeded afresh.
    await page.evaluate(() => window.livelyPropertyListener("sectors", 8));
    await harness.waitForPictures(page, 1);
    const shown = await harness.canvasPixels(page);
    const rendered = harness.renderedPixels({ seed: 99, sectors: 8, width: 400, height: 300 });
    assert.deepEqual([shown.width, shown.height], [rendered.width, rendered.height]);
    assert.ok(shown.data.equals(rendered.data), "the pictures differ");
    // Wallpaper Engine: speed and delay; no delay lets pictures follow one another.
    const apply = (speed, delay) => page.evaluate((s, d) => window.wallpaperPropertyListener
        .applyUserProperties({ speed: { value: s }, delay: { value: d } }), speed, delay);
    await apply(69, 0);
    await harness.waitForPictures(page, 3);
    await apply(30, 5000);
    assert.deepEqual(await panelState(page), {
        sectors: [8, "8"], delay: [5000, "5,0 sec. "], speed: [30, "Medium"] });
    // Inside a wallpaper program the page shows no controls of its own.
    assert.equal(await page.$("#controls"), null);
    await page.browserContext().close();
});

it("full screen hides the cursor; ten mouse moves stay, then any input ends it", async () => {
    const page = await visit("index.html");
    const full = (yes) => page.waitForFunction((y) => !!document.fullscreenElement === y, {}, yes);
    await page.keyboard.press("f");
    await full(true);
    assert.equal(await page.$eval("#screen", (c) => getComputedStyle(c).cursor), "none");
    for (let move = 1; move <= 10; ++move) await page.mouse.move(20 + 9 * move, 40);
    assert.equal(await page.evaluate(() => document.fullscreenElement !== null), true);
    for (const input of [() => page.mouse.move(200, 40), () => page.keyboard.press("a"),
                         () => page.mouse.click(60, 60)]) {
        await full(true);
        await input();
        await full(false);
        await page.keyboard.press("f");
    }
    await page.browserContext().close();
});

it("at rest: no steps between pictures or while hidden; no page logs an error", async () => {
    const steps = (page) => page.evaluate(() => window.mirelune.steps);
    const stepsOver1500Ms = async (page) => {
        const before = await steps(page);
        await new Promise((resolve) => setTimeout(resolve, 1500));
        return (await steps(page)) - before;
    };
    const waiting = await visit("index.html?seed=3&delay=20000");
    await harness.waitForPictures(waiting, 1);
    const idle = await stepsOver1500Ms(waiting);
    await waiting.browserContext().close();

    // Hidden while painting slowly (a row every 700 ms): no timer may wake it.
    const page = await visit("index.html?seed=3&speed=0");
    await page.waitForFunction(() => window.mirelune.steps > 1);
    await (await page.browserContext().newPage()).bringToFront();
    await page.waitForFunction(() => document.hidden);
    const hidden = await stepsOver1500Ms(page);
    const shownAt = await steps(page);
    await page.bringToFront();
    // Shown again: a fresh picture starts at once.
    await page.waitForFunction((s) => window.mirelune.steps > s, {}, shownAt);
    await page.browserContext().close();

    assert.ok(idle <= 1, `${idle} steps between pictures`);
    assert.equal(hidden, 0, `${hidden} steps while hidden`);
    assert.deepEqual(errors, []);
});
