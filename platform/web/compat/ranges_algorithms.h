// Debian's Emscripten ships the libc++ of LLVM 14, which has C++20 ranges but none of the
// std::ranges algorithms yet. The web build includes this header first in every file, so that
// the core compiles unchanged; it supplies the two algorithms the core calls, for sized
// ranges, and stands aside for any standard library that has them.
#pragma once

#include <algorithm>

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 15000

#include <functional>
#include <iterator>
#include <ranges>

namespace std::ranges {

inline constexpr auto equal =
    []<sized_range A, sized_range B, class Pred = std::equal_to<>>(A && a, B&& b, Pred pred = {}) {
    return std::ranges::size(a) == std::ranges::size(b) &&
           std::equal(std::ranges::begin(a), std::ranges::end(a), std::ranges::begin(b), pred);
};

inline constexpr auto transform = []<input_range R, class Out, class F>(R&& r, Out out, F f) {
    return std::transform(std::ranges::begin(r), std::ranges::end(r), out, f);
};

}  // namespace std::ranges

#endif
