// The process-wide state of the saver host. The entry point owns one; the forms and
// procedures of the host read and write it through a reference.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "common/random.h"
#include "host/dispatch.h"
#include "host/saver_services.h"

namespace mirelune {

struct HostContext {
    explicit HostContext(SeedClock seedClock) : random(std::move(seedClock)) {}

    // The program's one generator, shared with the renderer.
    Random random;
    RunMode runMode = RunMode::None;
    // "95", "NT" or "Unknown"; stays empty unless the full-screen run has started.
    std::string osVersion;
    // The user's "ScreenSaveUsePassword" setting; 0 when unread or unreadable.
    std::int16_t usePassword = 0;

    // Only the 95 family with the password setting exactly 1 asks for a password and locks
    // the system keys.
    bool passwordFeaturesOn() const { return osVersion == "95" && usePassword == 1; }
};

inline SeedClock seedClockOf(SaverServices& services) {
    return [&services] { return services.seedClockReading(); };
}

}  // namespace mirelune
