"""What the soaks of the Windows saver (tests/wine) and of the X11 program (tests/x11) share:
the cycle of window sizes, how pictures are counted from a watched row, and what counts as
creep once the first cycle is over."""

# The window sizes a soak cycles through, the full 1024 x 768 screen first; at 1 x 1 nothing
# fits and the saver must simply wait.
SIZES = [(1024, 768), (640, 480), (1, 1), (800, 600), (333, 257)]
# Memory a soak may gain after its first cycle of sizes: allocator bookkeeping, not a leak, which
# would cost a picture buffer (at least 333 x 257 x 4 bytes) per cycle.
MEMORY_SLACK_KIB = 256
# A resize moves the old picture (the window repaints it) and then stretches it over the new
# size: two changes of the watched row that are no picture.
CHANGES_PER_RESIZE = 2


def resize_interval(pictures):
    """Pictures between resizes: a few, and at least a dozen resizes in a run."""
    return min(max(pictures // 12, 4), 25)


def grid_fits(width, height, sectors):
    return min(width, height) >= 2 * sectors


def pictures_seen(changes):
    """Pictures a watched row's changes after a resize prove, at the least."""
    return max(changes - CHANGES_PER_RESIZE, 0)


def creep(samples, resources):
    """Compares the samples taken each time the window is back at full size, after the first
    cycle. resources are (name, sample key, unit): a count (no unit) must not grow, a memory
    figure (KiB) may grow by MEMORY_SLACK_KIB at most. Yields (passed, message) for each."""
    steady = samples[1:]
    for name, key, unit in resources:
        values = [sample[key] for sample in steady]
        if unit:
            growth = values[-1] - values[0]
            yield growth <= MEMORY_SLACK_KIB, (f"{name} grew by {growth} KiB over "
                                               f"{len(steady) - 1} cycles, at most "
                                               f"{MEMORY_SLACK_KIB} KiB allowed")
        else:
            yield max(values) <= values[0], f"{name} count after each cycle {values}, never " \
                "above the first"


def steady(samples, resources):
    """The soak's steady figures: each resource in the first sample after the first cycle of
    sizes and in the last, as the soak reports them."""
    first, last = samples[1], samples[-1]
    return {"steady_cycles": len(samples) - 2,
            "steady": [{"name": name, "first": first[key], "last": last[key], "unit": unit}
                       for name, key, unit in resources]}


def steady_text(figures):
    return ", ".join(f"{r['name']} {r['first']} -> {r['last']}"
                     + (f" {r['unit']}" if r["unit"] else "") for r in figures["steady"])
