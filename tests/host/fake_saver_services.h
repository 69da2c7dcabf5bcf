// Scriptable saver services: answers are set in fields; effects and ordered queries go to calls.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "host/saver_services.h"

namespace mirelune::testing {

class FakeSaverServices : public SaverServices {
  public:
    std::uint32_t platformId = 2;
    PasswordCheck passwordAnswer = PasswordCheck::Accepted;
    bool displayProperties = false;
    bool previousInstance = false;
    std::string arguments;
    RegistryReply registryReply{2, 0, 0};
    std::string registryBytes;  // copied to the start of the buffer on a query
    std::vector<std::string> calls;

    std::uint64_t seedClockReading() override { return log("seed", 12345u); }
    std::string argumentText() override { return log("arguments", arguments); }
    bool displayPropertiesWindowExists() override { return log("window", displayProperties); }
    bool previousInstanceRunning() override { return log("instance", previousInstance); }
    void showCursor(bool visible) override { log(visible ? "show" : "hide", 0); }
    void setScreenSaverRunning(bool running) override { log(running ? "lock" : "unlock", 0); }
    PasswordCheck verifyScreenSavePassword() override { return log("password", passwordAnswer); }
    std::uint32_t versionPlatformId() override { return platformId; }
    RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                     std::string_view valueName,
                                     std::span<char, kRegistryBufferSize> buffer) override {
        std::copy_n(registryBytes.begin(), std::min(registryBytes.size(), buffer.size()),
                    buffer.begin());
        return log("registry " + std::to_string(root) + ' ' + std::string(keyPath) + ' ' +
                       std::string(valueName),
                   registryReply);
    }

    int count(std::string_view call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

  private:
    template <typename T>
    T log(std::string call, T answer) {
        calls.push_back(std::move(call));
        return answer;
    }
};

// A 32-bit registry number as the platform stores it, little-endian.
inline std::string dwordBytes(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

}  // namespace mirelune::testing
