#include "host/system_queries.h"

#include <algorithm>
#include <array>

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

std::string getOSVersion(Platform& platform) {
    switch (platform.versionPlatformId()) {
        case 1:
            return "95";
        case 2:
            return "NT";
        default:
            return "Unknown";
    }
}

std::string readRegString(Platform& platform, std::uint32_t root, std::string_view keyPath,
                          std::string_view valueName) {
    std::array<char, kRegistryBufferSize> buffer;
    buffer.fill(' ');
    const RegistryReply reply = platform.queryRegistryValue(root, keyPath, valueName, buffer);
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

}  // namespace mirelune
