"use strict";
// Full screen behaves like the saver: the cursor hides, and any key, a click or the eleventh
// mouse move leaves it, by the saver's own exit rules in the core.

// saver() gives the renderer in use (the page replaces it when the sector count changes).
// eslint-disable-next-line no-unused-vars
function setUpFullScreen(saver) {
    const root = document.documentElement;

    function enter() {
        if (document.fullscreenElement || !root.requestFullscreen) return;
        root.requestFullscreen().catch(() => {});
    }

    document.addEventListener("fullscreenchange", () => {
        if (document.fullscreenElement) saver().beginFullScreen();
    });

    // Registered first and capturing, so that input in full screen does nothing else.
    for (const type of ["keydown", "click", "dblclick", "mousemove"]) {
        window.addEventListener(type, (event) => {
            if (!document.fullscreenElement) return;
            event.stopImmediatePropagation();
            if (saver().endsFullScreen(type)) document.exitFullscreen().catch(() => {});
        }, true);
    }

    // The key stands for the button: inside a wallpaper program, which removes the button,
    // it does nothing.
    const button = document.getElementById("full-screen-button");
    button.addEventListener("click", enter);
    window.addEventListener("keydown", (event) => {
        if (!button.isConnected || event.target instanceof HTMLInputElement || event.ctrlKey ||
            event.altKey) {
            return;
        }
        if (event.key === "f" || event.key === "F") enter();
    });
}
