// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Input of check_fp_steps.py's own test, never built: the check must report
// each line marked "planted" and nothing else.
#include <array>
#include <cmath>

#include "runtime/arith.h"
#include "runtime/fpenv.h"

namespace cepomer::rt {

// The runtime's own namespace is the helpers' and may compute.
inline Double cube(Double x)
{
    return x * x * x;
}

} // namespace cepomer::rt

namespace cepomer::calc {
namespace {

template <class T> T twice(T value)
{
    return value + value; // planted
}

} // namespace

struct Pair {
    rt::Double a, b;
};

rt::Double product(rt::Double a, rt::Double b)
{
    return a * b; // planted
}

bool smaller(rt::Double a, rt::Double b)
{
    return a < b; // planted
}

bool unordered(rt::Double a)
{
    return std::isnan(a); // planted
}

rt::Single narrowed(rt::Double d)
{
    return static_cast<rt::Single>(d); // planted
}

int truncated(rt::Double d)
{
    return static_cast<int>(d); // planted
}

rt::Double root(rt::Double d)
{
    return std::sqrt(d); // planted
}

rt::Single fromWide(long long n)
{
    return static_cast<rt::Single>(n); // planted
}

rt::Double sum(const std::array<rt::Double, 3>& values)
{
    rt::Double total = 0;
    for (const rt::Double v : values)
        total += v; // planted
    return total;
}

rt::Double inLambda(rt::Double x)
{
    const auto halve = [](rt::Double v) {
        return v / 2; // planted
    };
    return halve(x);
}

rt::Double templated(rt::Double x)
{
    return twice(x);
}

rt::Double memberwise(const Pair& p)
{
    return p.a - p.b; // planted
}

// None of these is a step of its own.
rt::Double allowed(rt::Single s, int n, rt::Double d)
{
    const rt::Double widened = s;
    const rt::Double counted = n;
    const rt::Double negated = -d;
    const rt::Double product = rt::mul(widened, counted);
    rt::fpCheck();
    constexpr rt::Double kFolded = 0.5 * 3.0;
    return rt::add(rt::cube(product), rt::sub(negated, kFolded));
}

} // namespace cepomer::calc
