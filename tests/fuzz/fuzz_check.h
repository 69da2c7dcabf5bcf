// Shared by the fuzz targets: a failed property prints what broke and aborts, so that
// libFuzzer records the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace mirelune {

inline void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

}  // namespace mirelune
