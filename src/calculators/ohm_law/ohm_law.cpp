// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/ohm_law/ohm_law.h"

#include "runtime/fpenv.h"

namespace cepomer::calc::ohm {
namespace {

using enum Quantity;
using enum Pair;

constexpr std::array kRules{
    Rule{I, UR, over(U, R)},              // 1
    Rule{I, PR, squareRoot(over(P, R))},  // 2
    Rule{I, PU, over(P, U)},              // 3
    Rule{U, PR, squareRoot(times(R, P))}, // 4
    Rule{U, IR, times(R, I)},             // 5
    Rule{U, PI, over(P, I)},              // 6
    Rule{R, PU, over(squared(U), P)},     // 7
    Rule{R, PI, over(P, squared(I))},     // 8
    Rule{R, IU, over(U, I)},              // 9
    Rule{P, UR, over(squared(U), R)},     // 10
    Rule{P, IR, times(squared(I), R)},    // 11
    Rule{P, IU, times(U, I)},             // 12
};

rt::Double value(const Operand& operand, const Working& w)
{
    const rt::Double v = w[operand.quantity];
    return operand.squared ? rt::vbaPowerR8(v, 2.0) : v;
}

} // namespace

std::span<const Rule> rules()
{
    return kRules;
}

rt::Single evaluate(const Formula& formula, const Working& w)
{
    const rt::Double left = value(formula.left, w);
    const rt::Double right = value(formula.right, w);
    const rt::Double result =
        formula.operation == Operation::Divide ? rt::div(left, right) : rt::mul(left, right);
    if (formula.root) {
        rt::fpCheck();
        return rt::toSingle(rt::rtcSqr(result));
    }
    const rt::Single stored = rt::toSingle(result);
    rt::fpCheck();
    return stored;
}

} // namespace cepomer::calc::ohm
