// The one uniform random generator of a saver context. Every draw of the pictures and
// palettes comes from it in a fixed order, so a given seed reproduces a run exactly.
#pragma once

#include <cstdint>
#include <functional>

namespace mirelune {

// Where re-seeding takes its entropy from: the clock in the product, a fixed value in tests
// and in the headless renderer so that their output is reproducible.
using SeedClock = std::function<std::uint64_t()>;

class Random {
  public:
    explicit Random(SeedClock clock);
    virtual ~Random() = default;

    // Mixes a fresh reading of the seed clock into the state. Re-seeding with the same
    // reading twice still moves the sequence on, as the state takes part in the mix.
    virtual void randomize();

    // A uniform draw in [0, 1) with 53 random bits. Virtual so that tests can script draws;
    // draws happen a few dozen times per picture, never per pixel.
    virtual double next();

  private:
    SeedClock clock_;
    std::uint64_t state_ = 0x6A09E667F3BCC909ull;
};

// A seed clock that always gives the same reading.
SeedClock fixedSeedClock(std::uint64_t seed);

}  // namespace mirelune
