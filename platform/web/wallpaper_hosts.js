"use strict";
// The calls of the live-wallpaper programs: Lively Wallpaper calls
// livelyPropertyListener(name, value) for each property, Wallpaper Engine calls
// wallpaperPropertyListener.applyUserProperties with the properties that changed, each as
// {value}. Both may call before the core has loaded; those values wait for it.

const wallpaperHosts = (() => {
    let pending = [];
    let apply = null;

    function receive(name, value) {
        if (apply) apply(String(name), value);
        else pending.push([String(name), value]);
    }

    window.livelyPropertyListener = receive;
    window.wallpaperPropertyListener = {
        applyUserProperties(properties) {
            for (const [name, property] of Object.entries(properties || {})) {
                if (property && typeof property === "object" && "value" in property) {
                    receive(name, property.value);
                }
            }
        },
    };

    return {
        // From now on values go to applyValue(name, value), the waiting ones first.
        connect(applyValue) {
            apply = applyValue;
            const waiting = pending;
            pending = [];
            waiting.forEach(([name, value]) => apply(name, value));
        },
    };
})();
