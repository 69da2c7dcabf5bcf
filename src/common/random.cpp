#include "common/random.h"

#include <utility>

namespace mirelune {
namespace {

// splitmix64: a fast generator whose every output bit depends on every state bit.
std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

Random::Random(SeedClock clock) : clock_(std::move(clock)) {}

void Random::randomize() {
    std::uint64_t mixed = state_ ^ clock_();
    state_ = splitmix(mixed);
}

double Random::next() {
    return static_cast<double>(splitmix(state_) >> 11) * 0x1.0p-53;
}

SeedClock fixedSeedClock(std::uint64_t seed) {
    return [seed] { return seed; };
}

}  // namespace mirelune
