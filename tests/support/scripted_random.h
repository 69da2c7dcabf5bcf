// A random source that gives scripted draws first, then falls back to a seeded sequence,
// so a test can force a branch (a walk direction, a style) and still run a whole picture.
#pragma once

#include <deque>
#include <vector>

#include "common/random.h"

namespace mirelune::testing {

class ScriptedRandom : public Random {
  public:
    explicit ScriptedRandom(const std::vector<double>& draws = {}, std::uint64_t seed = 1)
        : Random(fixedSeedClock(seed)), script_(draws.begin(), draws.end()) {}

    double next() override {
        ++draws_;
        if (script_.empty()) return Random::next();
        const double value = script_.front();
        script_.pop_front();
        return value;
    }

    int draws() const { return draws_; }

  private:
    std::deque<double> script_;
    int draws_ = 0;
};

}  // namespace mirelune::testing
