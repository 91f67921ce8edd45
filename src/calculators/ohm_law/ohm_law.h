// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Ohm's law and the power relation among current I, voltage U, resistance R and
// power P: twelve rules, each computing one quantity from a known pair of the
// other three.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "runtime/arith.h"

namespace cepomer::calc::ohm {

// The four quantities, in the order of the quantity buttons.
enum class Quantity { I, U, R, P };
inline constexpr std::size_t kQuantities = 4;

// The known pairs, in the order of the pair buttons.
enum class Pair { UR, PR, PU, IR, PI, IU };
inline constexpr std::size_t kPairs = 6;

constexpr std::size_t index(Quantity q)
{
    return static_cast<std::size_t>(q);
}
constexpr std::size_t index(Pair p)
{
    return static_cast<std::size_t>(p);
}

// The working values of one calculation (A, V, Ω, W), each a Single.
struct Working {
    std::array<rt::Single, kQuantities> values{};

    rt::Single& operator[](Quantity q) { return values[index(q)]; }
    rt::Single operator[](Quantity q) const { return values[index(q)]; }
};

// A working value, used as it is or squared (__vbaPowerR8 with exponent 2.0).
struct Operand {
    Quantity quantity;
    bool squared = false;

    constexpr Operand(Quantity q, bool sq = false) : quantity(q), squared(sq) {}
};

constexpr Operand squared(Quantity q)
{
    return {q, true};
}

enum class Operation { Divide, Multiply };

// left ÷ right or left · right in Double, operands in the order written; under
// a square root when `root` is set.
struct Formula {
    Operand left;
    Operation operation;
    Operand right;
    bool root = false;
};

constexpr Formula over(Operand dividend, Operand divisor)
{
    return {dividend, Operation::Divide, divisor};
}
constexpr Formula times(Operand left, Operand right)
{
    return {left, Operation::Multiply, right};
}
constexpr Formula squareRoot(Formula radicand)
{
    radicand.root = true;
    return radicand;
}

// One rule: it fires when its quantity and its pair are both chosen, and
// computes the working value of its quantity.
struct Rule {
    Quantity quantity;
    Pair pair;
    Formula formula;
};

// The twelve rules in the order they are applied.
std::span<const Rule> rules();

// Evaluates a formula on the working values and rounds the result to Single.
// The arithmetic check follows the rounding, so a result beyond the Single
// range fails too. Under a square root the check stands on the quotient or
// product before the root instead, and the rounded root is not checked: a root
// beyond the Single range comes out as an infinity. A negative radicand throws
// error 5.
rt::Single evaluate(const Formula& formula, const Working& w);

} // namespace cepomer::calc::ohm
