// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "play.h"

namespace cepomer::test {

std::optional<Failure> replay(const std::vector<Action>& actions, const ExtraCheck& extra)
{
    Session session;
    Checker checker;
    for (std::size_t i = 0; i < actions.size() && !session.ended(); ++i) {
        checker.before(session);
        const Outcome outcome = session.apply(actions[i]);
        std::optional<Violation> v = checker.after(session, actions[i], outcome);
        if (!v && extra)
            v = extra(session);
        if (v)
            return Failure{*v, i};
    }
    return std::nullopt;
}

std::vector<Action> shrink(std::vector<Action> actions, const std::string& rule, int budget,
                           const ExtraCheck& extra)
{
    // Keeps a candidate that fails the same way, cut after the failing action.
    const auto keeps = [&](std::vector<Action>& candidate) {
        --budget;
        const std::optional<Failure> f = replay(candidate, extra);
        if (!f || f->violation.rule != rule)
            return false;
        candidate.resize(f->at + 1);
        return true;
    };
    if (!keeps(actions))
        return actions; // does not fail again on its own: nothing to shrink
    for (std::size_t chunk = actions.size() / 2; budget > 0;) {
        bool changed = false;
        for (std::size_t start = 0; start < actions.size() && budget > 0;) {
            std::vector<Action> candidate(actions.begin(),
                                          actions.begin() + static_cast<std::ptrdiff_t>(start));
            if (start + chunk < actions.size())
                candidate.insert(candidate.end(),
                                 actions.begin() + static_cast<std::ptrdiff_t>(start + chunk),
                                 actions.end());
            if (chunk > 0 && keeps(candidate)) {
                actions = std::move(candidate);
                changed = true;
            } else {
                start += chunk > 0 ? chunk : 1;
            }
        }
        if (chunk > 1)
            chunk /= 2;
        else if (!changed)
            break; // no single action can go
        else
            chunk = 1;
    }
    return actions;
}

std::string report(unsigned long long seed, const Violation& violation,
                   const std::vector<Action>& actions)
{
    std::string out = "seed " + std::to_string(seed) + ": " + violation.rule + ": " +
                      violation.detail + "\nshortest sequence found (" +
                      std::to_string(actions.size()) +
                      " actions, from the start of the program):\n";
    for (const Action& a : actions)
        out += "  " + describe(a) + "\n";
    return out;
}

} // namespace cepomer::test
