// A scriptable platform: answers are set in fields; effects and ordered queries go to calls.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/platform.h"

namespace mirelune::testing {

class FakePlatform : public Platform {
  public:
    std::uint32_t platformId = 2;
    PasswordCheck passwordAnswer = PasswordCheck::Accepted;
    bool displayProperties = false;
    bool previousInstance = false;
    std::string arguments;
    RegistryReply registryReply{2, 0, 0};
    std::string registryBytes;  // copied to the start of the buffer on a query
    std::vector<std::string> calls;

    // The clock stands still; a wait with nothing scripted for it jumps to its deadline.
    std::int64_t now = 0;
    std::function<void()> onPump;              // runs inside processPendingEvents
    std::function<void(std::int64_t)> onWait;  // runs inside waitForEvents instead
    std::vector<std::int64_t> waits;           // the deadlines waited for

    std::int64_t nowMs() override { return now; }
    std::uint64_t seedClockReading() override { return log("seed", 12345u); }
    void showCursor(bool visible) override { log(visible ? "show" : "hide", 0); }
    void setScreenSaverRunning(bool running) override { log(running ? "lock" : "unlock", 0); }
    PasswordCheck verifyScreenSavePassword() override { return log("password", passwordAnswer); }
    bool changePassword() override { return true; }
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
    void messageBox(std::string_view, std::optional<std::string_view>) override {}
    bool displayPropertiesWindowExists() override { return log("window", displayProperties); }
    bool previousInstanceRunning() override { return log("instance", previousInstance); }
    std::string argumentText() override { return log("arguments", arguments); }
    std::filesystem::path settingsFile() override { return "mirelune.ini"; }
    void waitForEvents(std::int64_t deadlineMs) override {
        waits.push_back(deadlineMs);
        if (onWait)
            onWait(deadlineMs);
        else
            now = std::max(now, deadlineMs);
    }
    void processPendingEvents() override {
        if (onPump) onPump();
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
