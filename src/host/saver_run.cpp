#include "host/saver_run.h"

#include <string>

#include "common/ascii.h"
#include "host/number_text.h"
#include "host/system_queries.h"

namespace mirelune {

void systemKeys(const HostContext& context, Platform& platform, std::string_view action) {
    if (!context.passwordFeaturesOn()) {
        return;
    }
    const std::string lower = asciiLowerCase(action);
    if (lower == "disable") {
        platform.setScreenSaverRunning(true);
    }
    if (lower == "enable") {
        platform.setScreenSaverRunning(false);
    }
}

void beginSaverRun(HostContext& context, Platform& platform) {
    platform.showCursor(false);
    context.osVersion = getOSVersion(platform);
    if (context.osVersion == "95") {
        // An unreadable or non-numeric setting leaves usePassword alone, which keeps the
        // password features off.
        const auto setting = integerFromText(readRegString(
            platform, kHkeyCurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword"));
        if (setting) {
            context.usePassword = *setting;
        }
    }
    systemKeys(context, platform, "disable");
}

void endSaverRun(const HostContext& context, Platform& platform) {
    platform.showCursor(true);
    systemKeys(context, platform, "enable");
}

}  // namespace mirelune
