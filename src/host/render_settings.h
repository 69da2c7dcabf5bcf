// The renderer's settings as each run mode gives them: the stored settings for the full
// screen, fixed ones for the small preview pane whatever the file says.
#pragma once

#include "render/fract.h"
#include "settings/settings.h"

namespace mirelune {

inline constexpr RenderSettings kPreviewSettings{5, 8, 1};

constexpr RenderSettings toRenderSettings(const Settings& settings) {
    return {static_cast<double>(settings.sectors), static_cast<double>(settings.speed),
            settings.delay};
}

}  // namespace mirelune
