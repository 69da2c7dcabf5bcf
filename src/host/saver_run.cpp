#include "host/saver_run.h"

#include <algorithm>
#include <array>

#include "common/ascii.h"
#include "host/number_text.h"

namespace mirelune {
namespace {

std::uint32_t littleEndianDword(const std::array<char, kRegistryBufferSize>& buffer) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
    }
    return value;
}

std::string atLeastThreeDigits(std::uint32_t value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    return digits;
}

}  // namespace

std::string getOSVersion(SaverServices& services) {
    switch (services.versionPlatformId()) {
        case 1:
            return "95";
        case 2:
            return "NT";
        default:
            return "Unknown";
    }
}

std::string readRegString(SaverServices& services, std::uint32_t root, std::string_view keyPath,
                          std::string_view valueName) {
    std::array<char, kRegistryBufferSize> buffer;
    buffer.fill(' ');
    const RegistryReply reply = services.queryRegistryValue(root, keyPath, valueName, buffer);
    if (reply.status != 0) {
        return std::string(kRegistryNotFound);
    }
    std::string text = reply.type == kRegistryDword ? atLeastThreeDigits(littleEndianDword(buffer))
                                                    : std::string(buffer.data(), buffer.size());
    // The reported length counts the string's terminating zero. A length of 0 keeps nothing,
    // and no length, however absurd, reaches past the buffer.
    const std::size_t keep =
        reply.length == 0 ? 0 : std::min<std::size_t>(reply.length - 1, text.size());
    text.resize(keep);
    return text;
}

void systemKeys(const HostContext& context, SaverServices& services, std::string_view action) {
    if (!context.passwordFeaturesOn()) {
        return;
    }
    const std::string lower = asciiLowerCase(action);
    if (lower == "disable") {
        services.setScreenSaverRunning(true);
    }
    if (lower == "enable") {
        services.setScreenSaverRunning(false);
    }
}

void beginSaverRun(HostContext& context, SaverServices& services) {
    services.showCursor(false);
    context.osVersion = getOSVersion(services);
    if (context.osVersion == "95") {
        // An unreadable or non-numeric setting leaves usePassword alone, which keeps the
        // password features off.
        const auto setting = integerFromText(readRegString(
            services, kHkeyCurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword"));
        if (setting) {
            context.usePassword = *setting;
        }
    }
    systemKeys(context, services, "disable");
}

void endSaverRun(const HostContext& context, SaverServices& services) {
    services.showCursor(true);
    systemKeys(context, services, "enable");
}

}  // namespace mirelune
