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


def creep(samples, counts, memories):
    """Compares the samples taken each time the window is back at full size, after the first
    cycle. Yields (passed, message) for each count that must not grow and each memory figure
    (in KiB) that may grow by MEMORY_SLACK_KIB at most; a count that is 0 throughout is not
    reported by the system and yields (None, message)."""
    steady = samples[1:]
    for key in counts:
        values = [sample[key] for sample in steady]
        if not any(values):
            yield None, f"{key} counts are not reported here"
        else:
            yield max(values) <= values[0], f"{key} count after each cycle {values}, never above " \
                f"the first"
    for key in memories:
        growth = steady[-1][key] - steady[0][key]
        yield growth <= MEMORY_SLACK_KIB, (f"{key} grew by {growth} KiB over {len(steady) - 1} "
                                           f"cycles, at most {MEMORY_SLACK_KIB} KiB allowed")
