// The window handle of the preview pane, as the command line names it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirelune {

// Drops the first three characters of the argument text (the switch and one separator,
// whatever they are) and converts the rest as a decimal number. Handles are accepted from
// -2147483648 up to 4294967295, since platforms print them signed or unsigned; the caller
// narrows the value to its own handle type. nullopt means "preview error".
std::optional<std::int64_t> previewHandle(std::string_view argumentText);

}  // namespace mirelune
