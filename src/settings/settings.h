// The saver's three persistent settings and their place in the settings file text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mirelune {

inline constexpr std::string_view kSettingsSection = "Mirelune ScreenSaver";
inline constexpr std::string_view kSectorsKey = "Sectors";
inline constexpr std::string_view kSpeedKey = "Speed";
inline constexpr std::string_view kDelayKey = "Delay";

struct Settings {
    std::int32_t sectors = 5;   // tiles along each axis of the screen
    std::int32_t speed = 69;    // higher paints faster
    std::int32_t delay = 1000;  // milliseconds between pictures
    bool operator==(const Settings&) const = default;
};

// The settings held in a settings file's bytes, read as the text of their encoding (see
// text_encoding.h); missing keys take the defaults above. Each value is clamped into its
// dialog slider's range, so a hand-edited file cannot hand the renderer zero sectors or a
// negative delay.
Settings readSettings(std::string_view fileBytes);

// The file's bytes after storing the three values in `existingBytes`, which may be empty.
// Sectors is written with a blank in front of a non-negative number (" 5"), Speed and Delay
// as bare digits; other sections, keys and comments are kept, and so are the file's
// encoding, byte order mark and line endings.
std::string writeSettings(std::string_view existingBytes, const Settings& settings);

}  // namespace mirelune
