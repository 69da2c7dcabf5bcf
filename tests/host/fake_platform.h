// A scriptable platform for the host tests: answers are set in fields, and every call that
// has an effect or is a query worth ordering is appended to calls.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/platform.h"
#include "host/system_queries.h"

namespace mirelune::testing {

class FakePlatform : public Platform {
  public:
    // Answers.
    std::uint32_t platformId = 2;
    PasswordCheck passwordAnswer = PasswordCheck::Accepted;
    bool passwordChangeOpens = true;
    bool displayProperties = false;
    bool previousInstance = false;
    std::string arguments;
    std::uint64_t seed = 12345;
    RegistryReply registryReply{2, 0, 0};
    std::string registryBytes;  // copied to the start of the buffer on a query

    // Observations.
    std::vector<std::string> calls;
    int hiddenCursorCount = 0;  // hides minus shows, as the platform counts them
    bool screenSaverRunning = false;
    bool registryBufferBlankOnEntry = false;
    std::uint32_t registryRoot = 0;
    std::string registryKeyPath;
    std::string registryValueName;

    // The clock stands still unless a test moves it; a wait with nothing scripted for it
    // jumps the clock to its deadline, as if no event came in the meantime.
    std::int64_t now = 0;
    std::function<void()> onPump;              // runs inside processPendingEvents
    std::function<void(std::int64_t)> onWait;  // runs inside waitForEvents instead
    std::vector<std::int64_t> waits;           // the deadlines waited for

    std::int64_t nowMs() override { return now; }
    std::uint64_t seedClockReading() override {
        calls.push_back("seedClockReading");
        return seed;
    }
    void showCursor(bool visible) override {
        calls.push_back(visible ? "showCursor(true)" : "showCursor(false)");
        hiddenCursorCount += visible ? -1 : 1;
    }
    void setScreenSaverRunning(bool running) override {
        calls.push_back(running ? "setScreenSaverRunning(true)" : "setScreenSaverRunning(false)");
        screenSaverRunning = running;
    }
    PasswordCheck verifyScreenSavePassword() override {
        calls.push_back("verifyScreenSavePassword");
        return passwordAnswer;
    }
    bool changePassword() override {
        calls.push_back("changePassword");
        return passwordChangeOpens;
    }
    std::uint32_t versionPlatformId() override {
        calls.push_back("versionPlatformId");
        return platformId;
    }
    RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                     std::string_view valueName,
                                     std::span<char, kRegistryBufferSize> buffer) override {
        calls.push_back("queryRegistryValue");
        registryRoot = root;
        registryKeyPath = keyPath;
        registryValueName = valueName;
        registryBufferBlankOnEntry =
            std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == ' '; });
        std::copy_n(registryBytes.begin(), std::min(registryBytes.size(), buffer.size()),
                    buffer.begin());
        return registryReply;
    }
    void messageBox(std::string_view, std::optional<std::string_view>) override {
        calls.push_back("messageBox");
    }
    bool displayPropertiesWindowExists() override {
        calls.push_back("displayPropertiesWindowExists");
        return displayProperties;
    }
    bool previousInstanceRunning() override {
        calls.push_back("previousInstanceRunning");
        return previousInstance;
    }
    std::string argumentText() override {
        calls.push_back("argumentText");
        return arguments;
    }
    std::filesystem::path settingsFile() override { return "mirelune.ini"; }
    void waitForEvents(std::int64_t deadlineMs) override {
        waits.push_back(deadlineMs);
        if (onWait) {
            onWait(deadlineMs);
        } else {
            now = std::max(now, deadlineMs);
        }
    }
    void processPendingEvents() override {
        calls.push_back("processPendingEvents");
        if (onPump)
            onPump();
    }

    // A successful registry read of a string value, stored with its terminating zero.
    void storeString(std::string_view text) {
        registryBytes = std::string(text) + '\0';
        registryReply = {0, 1, static_cast<std::uint32_t>(registryBytes.size())};
    }
    // A successful registry read of a 32-bit number, stored little-endian.
    void storeDword(std::uint32_t value) {
        registryBytes.clear();
        for (int shift = 0; shift < 32; shift += 8) {
            registryBytes.push_back(static_cast<char>(value >> shift & 0xFF));
        }
        registryReply = {0, kRegistryDword, 4};
    }

    int count(std::string_view call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
};

}  // namespace mirelune::testing
