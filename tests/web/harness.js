"use strict";
// What the browser tests and the measuring script share: a static server on 127.0.0.1, Debian's
// Chromium driven by puppeteer-core, the canvas's pixels and the headless renderer's.

const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");
const { execFileSync } = require("child_process");
const { PNG } = require("pngjs");
const puppeteer = require("puppeteer-core");

const root = path.resolve(__dirname, "..", "..");
const webBuild = process.env.MIRELUNE_WEB_BUILD || path.join(root, "build", "web");
const renderTool = process.env.MIRELUNE_RENDER || path.join(root, "build/native/mirelune-render");
const browserPath = process.env.MIRELUNE_CHROMIUM || "/usr/bin/chromium";

const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };

// Serves `folder` read-only; resolves to {url, close()}.
function serve(folder) {
    const server = http.createServer((request, response) => {
        const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
        const file = path.join(folder, path.normalize(name));
        if (!file.startsWith(folder) || !fs.statSync(file, { throwIfNoEntry: false })?.isFile()) {
            return response.writeHead(404).end();
        }
        response.writeHead(200, { "Content-Type": types[path.extname(file)] || "text/plain" });
        fs.createReadStream(file).pipe(response);
    });
    return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve({
        url: `http://127.0.0.1:${server.address().port}`,
        close: () => new Promise((done) => server.close(done)),
    })));
}

function launchBrowser() {
    return puppeteer.launch({ executablePath: browserPath, headless: true,
                              args: ["--no-sandbox", "--disable-gpu"] });
}

// A page in a fresh context (its own storage), in a German locale so that the delay label must
// show its decimal comma; every console error and uncaught exception of it lands in `errors`.
async function openPage(browser, errors, viewport = { width: 400, height: 300 }) {
    const page = await (await browser.createBrowserContext()).newPage();
    await (await page.createCDPSession()).send("Emulation.setLocaleOverride", { locale: "de-DE" });
    page.on("console", (entry) => { if (entry.type() === "error") errors.push(entry.text()); });
    page.on("pageerror", (error) => errors.push(error.message));
    await page.setViewport({ deviceScaleFactor: 1, ...viewport });
    return page;
}

async function waitForPictures(page, count, timeout = 20000) {
    await page.waitForFunction((n) => window.mirelune && window.mirelune.pictures >= n,
                               { timeout, polling: 20 }, count);
}

async function canvasPixels(page) {
    const { width, height, data } = await page.evaluate(() => {
        const canvas = document.getElementById("screen");
        const image = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height);
        return { width: canvas.width, height: canvas.height, data: Array.from(image.data) };
    });
    return { width, height, data: Buffer.from(data) };
}

// mirelune-render's first picture for these options, as {width, height, RGBA bytes}.
function renderedPixels({ seed, width, height, sectors }) {
    const out = path.join(os.tmpdir(), `mirelune-web-${process.pid}.png`);
    execFileSync(renderTool, ["--seed", String(seed), "--size", `${width}x${height}`, "--sectors",
                              String(sectors), "-o", out]);
    const picture = PNG.sync.read(fs.readFileSync(out));
    fs.rmSync(out);
    return picture;
}

module.exports = { webBuild, renderTool, serve, launchBrowser, openPage, waitForPictures,
                   canvasPixels, renderedPixels };
