#include "host/preview_handle.h"

#include <limits>

#include "host/number_text.h"

namespace mirelune {

std::optional<std::int64_t> previewHandle(std::string_view argumentText) {
    constexpr std::size_t kSwitchAndSeparator = 3;
    const std::string_view rest = argumentText.size() > kSwitchAndSeparator
                                      ? argumentText.substr(kSwitchAndSeparator)
                                      : std::string_view{};
    return wholeNumberFromText(rest, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::uint32_t>::max());
}

}  // namespace mirelune
