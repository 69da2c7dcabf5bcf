// The platform family and registry reads the full-screen run needs, turned into the texts
// the rest of the host compares against.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/platform.h"

namespace mirelune {

inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kRegistryDword = 4;
inline constexpr std::string_view kRegistryNotFound = "Not Found";

// "95", "NT" or "Unknown" (also when the version query failed).
std::string getOSVersion(Platform& platform);

// One registry value as text, "Not Found" when it cannot be read. A string value loses its
// terminating zero; a 32-bit number is written with at least three digits and then cut to
// (length - 1) characters like any other value, so 1 reads "001" and 1234 reads "123".
std::string readRegString(Platform& platform, std::uint32_t root, std::string_view keyPath,
                          std::string_view valueName);

}  // namespace mirelune
