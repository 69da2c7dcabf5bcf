// Start-up decisions made from the argument text alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirelune {

// What this process was started to do, decided once from its command-line switch.
enum class RunMode : std::int32_t {
    None = 0,
    Saver = 1,
    Configure = 2,
    Password = 3,
    Preview = 4,
};

// The mode chosen by the first two characters of the argument text, upper-cased. The text is
// not trimmed, so a switch after leading blanks is not recognised.
RunMode dispatch(std::string_view argumentText);

// Whether a second instance must refuse to start: another instance runs, no "Display
// Properties" window is open, and the argument text is exactly "/s" once surrounding spaces
// are removed (case-sensitive, so "/S" always starts).
bool refusesStart(bool displayPropertiesWindowExists, bool previousInstanceRunning,
                  std::string_view argumentText);

// The window handle of the preview pane, as the command line names it. Drops the first three
// characters of the argument text (the switch and one separator, whatever they are) and
// converts the rest as a decimal number. Handles are accepted from -2147483648 up to
// 4294967295, since platforms print them signed or unsigned; the caller narrows the value to
// its own handle type. nullopt means "preview error".
std::optional<std::int64_t> previewHandle(std::string_view argumentText);

}  // namespace mirelune
