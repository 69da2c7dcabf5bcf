// The message each mode procedure shows on its one failure path.
#pragma once

#include <optional>
#include <string_view>

namespace mirelune {

struct FailureMessage {
    std::string_view text;
    std::optional<std::string_view> caption;  // absent: the platform's default caption
};

inline constexpr FailureMessage kSaverFailed{"The screensaver has failed", "Saver"};
inline constexpr FailureMessage kPreviewFailed{"preview error", std::nullopt};
inline constexpr FailureMessage kPasswordChangeFailed{"The password change has failed", "PW"};
inline constexpr FailureMessage kConfigFailed{"This screensaver has no configuration options",
                                              "Setup"};

}  // namespace mirelune
