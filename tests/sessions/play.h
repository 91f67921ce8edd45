// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Playing action sequences with the invariants checked after every action, and
// shrinking a failing sequence to a short one that still fails the same way.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "invariants.h"
#include "session.h"

namespace cepomer::test {

// An extra check after every action, for tests of the machinery itself.
using ExtraCheck = std::function<std::optional<Violation>(const Session&)>;

struct Failure {
    Violation violation;
    std::size_t at = 0; // index of the action after which it showed
};

// Plays the actions on a fresh program; the first violation, if any.
std::optional<Failure> replay(const std::vector<Action>& actions, const ExtraCheck& extra = {});

// A shorter sequence that still fails with the same rule, found by deleting
// actions (halves, quarters, ... single ones) for as long as `budget` replays
// allow.
std::vector<Action> shrink(std::vector<Action> actions, const std::string& rule, int budget = 3000,
                           const ExtraCheck& extra = {});

// The report of a failure: the seed, the rule, and the actions one a line.
std::string report(unsigned long long seed, const Violation& violation,
                   const std::vector<Action>& actions);

} // namespace cepomer::test
