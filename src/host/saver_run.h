// The host's part of starting and ending the full-screen run. Showing the main form and
// ending the process belong to the caller.
#pragma once

#include <string_view>

#include "host/host_context.h"
#include "host/platform.h"

namespace mirelune {

// Locks ("disable") or unlocks ("enable") the system keys, in any letter case; any other
// action does nothing. Only the 95 family with the password setting on touches the keys.
void systemKeys(const HostContext& context, Platform& platform, std::string_view action);

// Hides the cursor, learns the platform family and, on the 95 family, the user's password
// setting, then locks the system keys where that applies.
void beginSaverRun(HostContext& context, Platform& platform);

// Shows the cursor and unlocks the system keys; the caller then ends the process.
void endSaverRun(const HostContext& context, Platform& platform);

}  // namespace mirelune
