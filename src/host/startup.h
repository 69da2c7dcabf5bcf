// The process entry of the saver host: the single-instance rule, seeding, and the hand-over
// to the procedure of the chosen run mode.
#pragma once

#include <optional>
#include <string_view>

#include "host/dispatch.h"
#include "host/host_context.h"
#include "host/saver_services.h"

namespace mirelune {

// The four run modes' procedures, supplied by whoever owns the forms.
class ModeProcedures {
  public:
    virtual ~ModeProcedures() = default;
    virtual void runSaver() = 0;
    virtual void runPreview() = 0;
    virtual void showConfig() = 0;
    virtual void changePassword() = 0;
};

// The message each mode procedure shows on its one failure path.
struct FailureMessage {
    std::string_view text;
    std::optional<std::string_view> caption;  // absent: the platform's default caption
};

inline constexpr FailureMessage kSaverFailed{"The screensaver has failed", "Saver"};
inline constexpr FailureMessage kPreviewFailed{"preview error", std::nullopt};
inline constexpr FailureMessage kPasswordChangeFailed{"The password change has failed", "PW"};
inline constexpr FailureMessage kConfigFailed{"This screensaver has no configuration options",
                                              "Setup"};

// Refuses a second "/s" instance silently (returning None without seeding or running
// anything); otherwise seeds the generator, records the mode in context.runMode before its
// procedure runs, and returns that mode once the procedure has returned. None means the
// process has nothing left to do.
RunMode hostMain(HostContext& context, SaverServices& services, ModeProcedures& modes);

}  // namespace mirelune
