// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculators/impedance/impedance.h"

#include <bit>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/fpenv.h"

namespace cepomer::calc {
namespace {

constexpr rt::Single kInf = std::numeric_limits<rt::Single>::infinity();

std::uint64_t bits(rt::Double d)
{
    return std::bit_cast<std::uint64_t>(d);
}

struct SeriesCase {
    const char* what;
    Circuit circuit;
    Elements e; // f, r, c, l
    rt::Double z, cos, sin, tan;
};

TEST(Impedance, SeriesCircuitsGiveTheExactTriangle)
{
    // ω = F × 6.28 with the nearest Double to 6.28; Single inputs widened.
    const SeriesCase cases[] = {
        {"R,C 50 Hz, 100 Ohm, 10 uF",
         Circuit::SeriesRC,
         {50.0f, 100.0f, 1e-5f, 0.0f},
         333.80233370083295,
         0.29957849273044335,
         0.9540716570013783,
         3.1847134562488071},
        {"R,C negative R",
         Circuit::SeriesRC,
         {50.0f, -100.0f, 1e-5f, 0.0f},
         333.80233370083295,
         -0.29957849273044335,
         0.9540716570013783,
         -3.1847134562488071},
        {"R,C 0.5 F",
         Circuit::SeriesRC,
         {50.0f, 100.0f, 0.5f, 0.0f},
         100.00000020284799,
         0.99999999797152017,
         6.3694267386721031e-05,
         6.3694267515923561e-05},
        {"R,C infinite F", Circuit::SeriesRC, {kInf, 100.0f, 1e-5f, 0.0f}, 100.0, 1.0, 0.0, 0.0},
        {"R,C infinite C", Circuit::SeriesRC, {50.0f, 100.0f, kInf, 0.0f}, 100.0, 1.0, 0.0, 0.0},
        {"R,L 50 Hz, 30 Ohm, 0.1 H",
         Circuit::SeriesRL,
         {50.0f, 30.0f, 0.0f, 0.1f},
         43.427641305784704,
         0.6908042688471755,
         0.72304181216753949,
         1.0466666822632154},
        {"R,L F = 0", Circuit::SeriesRL, {0.0f, 30.0f, 0.0f, 0.1f}, 30.0, 1.0, 0.0, 0.0},
        {"R,L L = 0", Circuit::SeriesRL, {50.0f, 30.0f, 0.0f, 0.0f}, 30.0, 1.0, 0.0, 0.0},
        {"R,L L = 0, negative R",
         Circuit::SeriesRL,
         {50.0f, -30.0f, 0.0f, 0.0f},
         30.0,
         -1.0,
         0.0,
         -0.0},
        {"R,L,C 50 Hz, 10 Ohm, 100 uF, 10 mH",
         Circuit::SeriesRLC,
         {50.0f, 10.0f, 1e-4f, 0.01f},
         30.399006214321997,
         0.32895812216679188,
         -0.9443445101553235,
         -2.8707134632672542},
        {"R,L,C L = 0",
         Circuit::SeriesRLC,
         {50.0f, 10.0f, 1e-4f, 0.0f},
         33.380233370083296,
         0.29957849273044329,
         -0.9540716570013783,
         -3.1847134562488071},
        {"R,L,C infinite C is R,L",
         Circuit::SeriesRLC,
         {50.0f, 30.0f, kInf, 0.1f},
         43.427641305784704,
         0.6908042688471755,
         0.72304181216753949,
         1.0466666822632154},
    };
    for (const SeriesCase& c : cases) {
        rt::clearFpFlags();
        const Impedance got = impedance(c.circuit, c.e);
        ASSERT_TRUE(got.phase) << c.what;
        EXPECT_EQ(bits(got.z), bits(c.z)) << c.what;
        EXPECT_EQ(bits(got.phase->cos), bits(c.cos)) << c.what;
        EXPECT_EQ(bits(got.phase->sin), bits(c.sin)) << c.what;
        EXPECT_EQ(bits(got.phase->tan), bits(c.tan)) << c.what;
    }
}

TEST(Impedance, ParallelCircuitsGiveZAlone)
{
    const struct {
        const char* what;
        Circuit circuit;
        Elements e;
        rt::Double z;
    } cases[] = {
        {"R,C 50 Hz, 100 Ohm, 10 uF",
         Circuit::ParallelRC,
         {50.0f, 100.0f, 1e-5f, 0.0f},
         95.407165700137824},
        {"R,C F = 0", Circuit::ParallelRC, {0.0f, 100.0f, 1e-5f, 0.0f}, 100.0},
        {"R,C C = 0", Circuit::ParallelRC, {50.0f, 100.0f, 0.0f, 0.0f}, 100.0},
        {"R,C R = 0", Circuit::ParallelRC, {50.0f, 0.0f, 1e-5f, 0.0f}, 0.0},
        {"R,C infinite F", Circuit::ParallelRC, {kInf, 100.0f, 1e-5f, 0.0f}, 0.0},
        {"R,C infinite C", Circuit::ParallelRC, {50.0f, 100.0f, kInf, 0.0f}, 0.0},
        {"R,L 50 Hz, 30 Ohm, 0.1 H",
         Circuit::ParallelRL,
         {50.0f, 30.0f, 0.0f, 0.1f},
         21.691254365026182},
        {"R,L R = 0", Circuit::ParallelRL, {50.0f, 0.0f, 0.0f, 0.1f}, 0.0},
        {"R,L L = 0", Circuit::ParallelRL, {50.0f, 30.0f, 0.0f, 0.0f}, 0.0},
        {"R,L F = 0", Circuit::ParallelRL, {0.0f, 30.0f, 0.0f, 0.1f}, 0.0},
    };
    for (const auto& c : cases) {
        rt::clearFpFlags();
        const Impedance got = impedance(c.circuit, c.e);
        EXPECT_FALSE(got.phase) << c.what;
        EXPECT_EQ(bits(got.z), bits(c.z)) << c.what;
    }
}

TEST(Impedance, FailuresStopBeforeAnyResult)
{
    const struct {
        const char* what;
        Circuit circuit;
        Elements e;
        int error;
    } cases[] = {
        {"R,C F = 0", Circuit::SeriesRC, {0.0f, 100.0f, 1e-5f, 0.0f}, rt::kDivisionByZero},
        {"R,C C = 0", Circuit::SeriesRC, {50.0f, 100.0f, 0.0f, 0.0f}, rt::kDivisionByZero},
        {"R,L,C F = 0", Circuit::SeriesRLC, {0.0f, 10.0f, 1e-4f, 0.01f}, rt::kDivisionByZero},
        {"R,L,C C = 0", Circuit::SeriesRLC, {50.0f, 10.0f, 0.0f, 0.01f}, rt::kDivisionByZero},
        // R = 0: cos and sin are computed, the tangent divides by zero.
        {"R,C R = 0", Circuit::SeriesRC, {50.0f, 0.0f, 1e-5f, 0.0f}, rt::kDivisionByZero},
        {"R,L R = 0", Circuit::SeriesRL, {50.0f, 0.0f, 0.0f, 0.1f}, rt::kDivisionByZero},
        {"R,L,C R = 0", Circuit::SeriesRLC, {50.0f, 0.0f, 1e-4f, 0.01f}, rt::kDivisionByZero},
        // R = 0 and no reactance: Z = 0, the Variant division R / Z fails.
        {"R,L R = F = 0", Circuit::SeriesRL, {0.0f, 0.0f, 0.0f, 0.1f}, rt::kDivisionByZero},
        {"R,L R = L = 0", Circuit::SeriesRL, {50.0f, 0.0f, 0.0f, 0.0f}, rt::kDivisionByZero},
        {"R,L,C R = X = 0", Circuit::SeriesRLC, {50.0f, 0.0f, kInf, 0.0f}, rt::kDivisionByZero},
        // 0 / 0 in Double is an invalid operation.
        {"parallel R,L R = F = 0", Circuit::ParallelRL, {0.0f, 0.0f, 0.0f, 0.1f}, rt::kOverflow},
        {"parallel R,L R = L = 0", Circuit::ParallelRL, {50.0f, 0.0f, 0.0f, 0.0f}, rt::kOverflow},
        {"parallel R,L nothing typed", Circuit::ParallelRL, {}, rt::kOverflow},
        {"parallel R,L nothing but infinite F",
         Circuit::ParallelRL,
         {kInf, 0, 0, 0},
         rt::kOverflow},
        // Infinities that meet a zero or another infinity.
        {"R,C infinite F, C = 0", Circuit::SeriesRC, {kInf, 100.0f, 0.0f, 0.0f}, rt::kOverflow},
        {"R,C infinite R", Circuit::SeriesRC, {50.0f, kInf, 1e-5f, 0.0f}, rt::kOverflow},
        {"R,L infinite F", Circuit::SeriesRL, {kInf, 30.0f, 0.0f, 0.1f}, rt::kOverflow},
        {"R,L infinite L", Circuit::SeriesRL, {50.0f, 30.0f, 0.0f, kInf}, rt::kOverflow},
        {"R,L infinite R", Circuit::SeriesRL, {50.0f, kInf, 0.0f, 0.1f}, rt::kOverflow},
        {"R,L,C infinite L and C", Circuit::SeriesRLC, {50.0f, 10.0f, kInf, kInf}, rt::kOverflow},
        {"parallel R,C infinite R", Circuit::ParallelRC, {50.0f, kInf, 1e-5f, 0.0f}, rt::kOverflow},
        {"parallel R,C infinite F, C = 0",
         Circuit::ParallelRC,
         {kInf, 100.0f, 0.0f, 0.0f},
         rt::kOverflow},
        {"parallel R,L infinite F", Circuit::ParallelRL, {kInf, 30.0f, 0.0f, 0.1f}, rt::kOverflow},
        {"parallel R,L infinite R", Circuit::ParallelRL, {50.0f, kInf, 0.0f, 0.1f}, rt::kOverflow},
    };
    for (const auto& c : cases) {
        rt::clearFpFlags();
        try {
            impedance(c.circuit, c.e);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number(), c.error) << c.what;
        }
    }
}

} // namespace
} // namespace cepomer::calc
