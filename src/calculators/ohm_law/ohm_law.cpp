#include "calculators/ohm_law/ohm_law.h"

#include "runtime/fpenv.h"

namespace cepomer::calc::ohm {
namespace {

using enum Quantity;

constexpr std::array kRules{
    Rule{I, Pair::UR, over(U, R)},           Rule{I, Pair::PR, squareRoot(over(P, R))},
    Rule{I, Pair::PU, over(P, U)},           Rule{U, Pair::PR, squareRoot(times(R, P))},
    Rule{U, Pair::IR, times(R, I)},          Rule{U, Pair::PI, over(P, I)},
    Rule{R, Pair::PU, over(squared(U), P)},  Rule{R, Pair::PI, over(P, squared(I))},
    Rule{R, Pair::IU, over(U, I)},           Rule{P, Pair::UR, over(squared(U), R)},
    Rule{P, Pair::IR, times(squared(I), R)}, Rule{P, Pair::IU, times(U, I)},
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
