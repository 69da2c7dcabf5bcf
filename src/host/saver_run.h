// The host's part of starting and ending the full-screen run, and the platform family and
// registry reads it needs, turned into the texts the rest of the host compares against.
// Showing the main form and ending the process belong to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_context.h"
#include "host/saver_services.h"

namespace mirelune {

inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kRegistryDword = 4;
inline constexpr std::string_view kRegistryNotFound = "Not Found";

// "95", "NT" or "Unknown" (also when the version query failed).
std::string getOSVersion(SaverServices& services);

// One registry value as text, "Not Found" when it cannot be read. A string value loses its
// terminating zero; a 32-bit number is written with at least three digits and then cut to
// (length - 1) characters like any other value, so 1 reads "001" and 1234 reads "123".
std::string readRegString(SaverServices& services, std::uint32_t root, std::string_view keyPath,
                          std::string_view valueName);

// Locks ("disable") or unlocks ("enable") the system keys, in any letter case; any other
// action does nothing. Only the 95 family with the password setting on touches the keys.
void systemKeys(const HostContext& context, SaverServices& services, std::string_view action);

// Hides the cursor, learns the platform family and, on the 95 family, the user's password
// setting, then locks the system keys where that applies.
void beginSaverRun(HostContext& context, SaverServices& services);

// Shows the cursor and unlocks the system keys; the caller then ends the process.
void endSaverRun(const HostContext& context, SaverServices& services);

}  // namespace mirelune
