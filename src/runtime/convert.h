// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Text <-> number conversions of the calculators.
#pragma once

#include <string>
#include <string_view>

#include "runtime/arith.h"

namespace cepomer::rt {

// How numbers are written; injected by the caller (the program takes it from
// the user's numeric locale), never read from global state.
struct NumberFormat {
    std::string decimalSeparator = ".";
};

// The number at the start of a text (UTF-8):
// - blanks, tabs and line feeds are skipped wherever they stand ("1 2 3" is 123);
// - an optional sign, then digits holding at most one decimal separator, a point
//   or a comma alike, also first or last ("5.", ".5", "0,5"); a second separator
//   ends the number ("1.2,3" is 1.2);
// - an optional exponent: E or D in either case, optional sign, digits; a bare
//   "1e" or "1e+" reads as 1;
// - reading stops at the first character that cannot continue the number; empty
//   text, and text that does not begin with a number, give 0;
// - "&H" / "&O" (either case) at the start: a hexadecimal / octal integer. Up to
//   16 significant bits it wraps as a 16-bit integer ("&HFFFF" is -1), up to 32
//   bits as a 32-bit integer ("&HFFFFFFFF" is -1), wider throws error 6. "&"
//   followed by anything else, and a sign before "&", give 0.
// Beyond the Double range throws error 6; below it reads as 0 or the nearest
// denormal. The result is correctly rounded.
Double rtcR8ValFromBstr(std::string_view text);

// A nonzero finite value rounded to `precision` significant digits (1 to 17),
// ties to even on its exact binary value, the sign left out: its digits (no
// trailing zeros) d.ddd x 10^exponent.
struct RoundedDecimal {
    std::string digits;
    int exponent;
};
RoundedDecimal roundDecimal(Double value, int precision);

// A value as text at `precision` significant digits, laid out as below:
// plain notation from 1E-11 to below 10^precision, exponent notation beyond.
std::string formatNumber(Double value, int precision, const NumberFormat& format);

// A Single as text: at most 7 significant digits, correctly rounded (ties to
// even), no trailing zeros, a 0 before the separator below 1, a minus sign only
// for negative values (-0 is "0"), no grouping. Exponent notation ("1,5E-12",
// "-3,402823E+38") when the rounded magnitude is at least 1E+07 or below 1E-11.
// Infinities are "∞" and "-∞", NaN is "не число".
std::string vbaStrR4(Single value, const NumberFormat& format);

// A Variant holding a Double as text: the same with at most 15 significant
// digits and the switch to exponent notation at 1E+15.
std::string vbaStrVarVal(Double value, const NumberFormat& format);

} // namespace cepomer::rt
