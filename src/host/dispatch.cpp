#include "host/dispatch.h"

#include <algorithm>
#include <limits>
#include <string>

#include "host/number_text.h"

namespace mirelune {

RunMode dispatch(std::string_view argumentText) {
    std::string sw(argumentText.substr(0, 2));
    std::transform(sw.begin(), sw.end(), sw.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (sw == "/P") {
        return RunMode::Preview;
    }
    if (sw == "/C") {
        return RunMode::Configure;
    }
    if (sw == "/S" || argumentText.empty()) {
        return RunMode::Saver;
    }
    if (sw == "/A") {
        return RunMode::Password;
    }
    return RunMode::None;
}

bool refusesStart(bool displayPropertiesWindowExists, bool previousInstanceRunning,
                  std::string_view argumentText) {
    const auto first = argumentText.find_first_not_of(' ');
    const auto trimmed =
        first == std::string_view::npos
            ? std::string_view{}
            : argumentText.substr(first, argumentText.find_last_not_of(' ') - first + 1);
    return !displayPropertiesWindowExists && previousInstanceRunning && trimmed == "/s";
}

std::optional<std::int64_t> previewHandle(std::string_view argumentText) {
    constexpr std::size_t kSwitchAndSeparator = 3;
    const std::string_view rest = argumentText.size() > kSwitchAndSeparator
                                      ? argumentText.substr(kSwitchAndSeparator)
                                      : std::string_view{};
    return wholeNumberFromText(rest, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::uint32_t>::max());
}

}  // namespace mirelune
