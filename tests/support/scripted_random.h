// A random source that gives scripted draws first, then `rest` for ever or, without it, a
// seeded sequence, so a test can force a branch (a walk direction, a style) and still run on.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "common/random.h"

namespace mirelune::testing {

class ScriptedRandom : public Random {
  public:
    explicit ScriptedRandom(const std::vector<double>& draws = {},
                            std::optional<double> rest = std::nullopt)
        : Random(fixedSeedClock(1)), script_(draws.begin(), draws.end()), rest_(rest) {}

    double next() override {
        ++draws_;
        if (script_.empty()) return rest_ ? *rest_ : Random::next();
        const double value = script_.front();
        script_.pop_front();
        return value;
    }

    int draws() const { return draws_; }

  private:
    std::deque<double> script_;
    std::optional<double> rest_;
    int draws_ = 0;
};

}  // namespace mirelune::testing
