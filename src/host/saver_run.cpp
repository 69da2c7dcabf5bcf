#include "host/saver_run.h"

#include <algorithm>
#include <string>

#include "host/number_text.h"
#include "host/system_queries.h"

namespace mirelune {
namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

}  // namespace

void systemKeys(const HostContext& context, Platform& platform, std::string_view action) {
    if (!context.passwordFeaturesOn()) {
        return;
    }
    const std::string lower = lowerCase(action);
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
