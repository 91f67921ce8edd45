// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Seeded random user sessions through the real screens, with every invariant
// checked after every action. A failure prints the seed and the shortest
// action sequence found that still fails the same way.
//
// CEPOMER_SESSION_SEED=N and CEPOMER_SESSION_ACTIONS=N change the seed and the
// number of actions per screen (for longer runs by hand).
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/form.h"
#include "play.h"
#include "random_actions.h"

namespace cepomer::test {
namespace {

unsigned long long fromEnvironment(const char* name, unsigned long long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

struct ScreenCase {
    const char* screen;
    unsigned long long seed;
};

void PrintTo(const ScreenCase& c, std::ostream* out)
{
    *out << c.screen << ", seed " << c.seed;
}

class RandomSessions : public testing::TestWithParam<ScreenCase> {};

TEST_P(RandomSessions, KeepEveryInvariant)
{
    const ScreenCase c = GetParam();
    const unsigned long long seed = fromEnvironment("CEPOMER_SESSION_SEED", c.seed);
    const unsigned long long total = fromEnvironment("CEPOMER_SESSION_ACTIONS", 25000);
    RandomActions random(seed, c.screen);

    auto session = std::make_unique<Session>();
    Checker checker;
    std::vector<Action> run; // since the program started
    int runs = 1;
    int calculations = 0;
    for (unsigned long long i = 0; i < total; ++i) {
        if (session->ended()) {
            session.reset();
            session = std::make_unique<Session>();
            checker = Checker{};
            run.clear();
            ++runs;
        }
        run.push_back(random.next(*session));
        checker.before(*session);
        const Outcome outcome = session->apply(run.back());
        calculations += outcome.pressed == "cmdRun" && run.back().screen == c.screen ? 1 : 0;
        if (const std::optional<Violation> v = checker.after(*session, run.back(), outcome)) {
            session.reset();
            FAIL() << report(seed, *v, shrink(run, v->rule));
        }
    }
    // The sessions must really have worked the screen, not stood at the menu.
    if (std::string(c.screen) != "frmCepomer") {
        EXPECT_GT(calculations, static_cast<int>(total / 50)) << c.screen;
    }
    RecordProperty("runs", runs);
}

INSTANTIATE_TEST_SUITE_P(AllScreens, RandomSessions,
                         testing::Values(ScreenCase{"frmCepomer", 1001},
                                         ScreenCase{"frmIURP", 1002}, ScreenCase{"frmX", 1003},
                                         ScreenCase{"frmZ", 1004}, ScreenCase{"frmIplavl", 1005},
                                         ScreenCase{"frmS", 1006}),
                         [](const auto& info) { return std::string(info.param.screen); });

// The shrinker itself: a planted rule that fails once frmS shows 3.1416 is
// reduced from a long session to the three actions that make it.
TEST(Shrink, KeepsOnlyTheActionsTheFailureNeeds)
{
    const ExtraCheck planted = [](const Session& s) -> std::optional<Violation> {
        const engine::Form* f = s.program().form("frmS");
        if (f && f->text("txtSrez") == "3.1416")
            return Violation{"planted", "txtSrez shows 3.1416"};
        return std::nullopt;
    };
    const auto click = [](const char* screen, const char* control) {
        return Action{ActionKind::Click, screen, control, {}, false, 0, 0};
    };
    // A long session on frmS that never leaves it nor ends, then the failure.
    std::vector<Action> actions;
    {
        RandomActions random(7, "frmS");
        Session session;
        while (actions.size() < 200) {
            const Action a = random.next(session);
            if (a.kind == ActionKind::Close || a.kind == ActionKind::Key ||
                a.control == "cmdExit" || a.control == "cmdGm")
                continue;
            session.apply(a);
            actions.push_back(a);
        }
    }
    actions.push_back(click("frmCepomer", "cmdS"));
    actions.push_back(Action{ActionKind::Type, "frmS", "txtD", "2", false, 0, 0});
    actions.push_back(click("frmS", "cmdRun"));

    const std::optional<Failure> failure = replay(actions, planted);
    ASSERT_TRUE(failure.has_value());
    const std::vector<Action> shortest = shrink(actions, "planted", 3000, planted);
    ASSERT_EQ(shortest.size(), 3u) << report(7, failure->violation, shortest);
    EXPECT_EQ(describe(shortest.front()), "click frmCepomer.cmdS");
    EXPECT_EQ(describe(shortest.back()), "click frmS.cmdRun");
}

} // namespace
} // namespace cepomer::test
