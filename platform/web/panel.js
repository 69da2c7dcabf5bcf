"use strict";
// The settings: kept in the browser's storage as a settings file's text, overridden by the
// address's query (for links and tests), and edited in a small panel with the configuration
// dialog's three sliders, whose ranges and labels come from the core.

const settingsStorageKey = "mirelune.ini";

// Storage can be missing or throw (private windows, blocked cookies): the defaults serve then.
function readStoredSettings() {
    try {
        const text = window.localStorage.getItem(settingsStorageKey);
        return typeof text === "string" ? text : "";
    } catch (error) {
        return "";
    }
}

function storeSettings(settings) {
    try {
        window.localStorage.setItem(settingsStorageKey, settings.storedText());
    } catch (error) {
        // Not kept past this page: the page still runs with them.
    }
}

// eslint-disable-next-line no-unused-vars
function loadSettings(core, query) {
    const settings = new core.Settings(readStoredSettings());
    for (const name of core.sliders) {
        if (query.has(name)) settings.override(name, query.get(name));
    }
    return settings;
}

function localeDecimalSeparator() {
    const parts = new Intl.NumberFormat().formatToParts(1.5);
    const decimal = parts.find((part) => part.type === "decimal");
    return decimal ? decimal.value : ".";
}

// Shows the panel on its button or the S key; changed(name) hears of every slider move.
// eslint-disable-next-line no-unused-vars
function createPanel(core, settings, changed) {
    const panel = document.getElementById("panel");
    const controls = document.getElementById("controls");
    const separator = localeDecimalSeparator();
    const inputs = {};

    function show(name) {
        inputs[name].value = settings.position(name);
        panel.querySelector(`output[for=${name}]`).textContent = settings.label(name, separator);
    }

    function move(name, position) {
        settings.move(name, position);
        show(name);
        storeSettings(settings);
        changed(name);
    }

    for (const name of core.sliders) {
        const input = document.getElementById(name);
        const range = core.range(name);
        input.min = range.min;
        input.max = range.max;
        input.step = 1;  // any position, as on the dialog's slider
        input.addEventListener("input", () => move(name, Number(input.value)));
        // Keys move by the dialog's steps: the small one for arrows, the large one for pages.
        const keySteps = { ArrowRight: range.smallChange, ArrowUp: range.smallChange,
                           ArrowLeft: -range.smallChange, ArrowDown: -range.smallChange,
                           PageUp: range.largeChange, PageDown: -range.largeChange };
        input.addEventListener("keydown", (event) => {
            if (!(event.key in keySteps)) return;
            event.preventDefault();
            move(name, settings.position(name) + keySteps[event.key]);
        });
        inputs[name] = input;
        show(name);
    }

    let idleTimer = 0;
    function wake() {
        controls.classList.remove("idle");
        clearTimeout(idleTimer);
        idleTimer = setTimeout(() => {
            if (panel.hidden) controls.classList.add("idle");
        }, 2500);
    }
    function toggle() {
        panel.hidden = !panel.hidden;
        wake();
    }
    document.getElementById("settings-button").addEventListener("click", toggle);
    window.addEventListener("mousemove", wake);
    let retired = false;
    window.addEventListener("keydown", (event) => {
        if (retired || event.target instanceof HTMLInputElement || event.ctrlKey || event.altKey) {
            return;
        }
        if (event.key === "s" || event.key === "S") toggle();
        if (event.key === "Escape" && !panel.hidden) toggle();
    });

    return {
        // Values set from outside (a wallpaper program): shown, not stored, as the program
        // keeps its own.
        refresh() {
            core.sliders.forEach(show);
        },
        // Inside a wallpaper program the page takes no input of its own.
        retire() {
            retired = true;
            panel.hidden = true;
            controls.remove();
        },
    };
}
