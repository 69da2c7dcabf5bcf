// Gives scripted draws first, then `rest` for ever or, without it, a seeded sequence, so a
// test can force a branch (a walk direction, a style) and still run on.
#pragma once

#include <optional>
#include <vector>

#include "common/random.h"

namespace mirelune::testing {

class ScriptedRandom : public Random {
  public:
    explicit ScriptedRandom(std::vector<double> draws = {}, std::optional<double> rest = {})
        : Random(fixedSeedClock(1)), script_(std::move(draws)), rest_(rest) {}

    double next() override {
        const std::size_t index = draws_++;
        if (index < script_.size()) return script_[index];
        return rest_ ? *rest_ : Random::next();
    }

    int draws() const { return draws_; }

  private:
    std::vector<double> script_;
    std::optional<double> rest_;
    int draws_ = 0;
};

}  // namespace mirelune::testing
