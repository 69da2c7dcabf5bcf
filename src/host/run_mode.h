// What this process was started to do, decided once from its command-line switch.
#pragma once

#include <cstdint>

namespace mirelune {

enum class RunMode : std::int32_t {
    None = 0,
    Saver = 1,
    Configure = 2,
    Password = 3,
    Preview = 4,
};

}  // namespace mirelune
