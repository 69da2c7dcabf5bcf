// Start-up decisions made from the argument text alone.
#pragma once

#include <string_view>

#include "host/run_mode.h"

namespace mirelune {

// The mode chosen by the first two characters of the argument text, upper-cased. The text is
// not trimmed, so a switch after leading blanks is not recognised.
RunMode dispatch(std::string_view argumentText);

// Whether a second instance must refuse to start: another instance runs, no "Display
// Properties" window is open, and the argument text is exactly "/s" once surrounding spaces
// are removed (case-sensitive, so "/S" always starts).
bool refusesStart(bool displayPropertiesWindowExists, bool previousInstanceRunning,
                  std::string_view argumentText);

}  // namespace mirelune
