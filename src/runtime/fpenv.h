// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The arithmetic check: the faults of the floating-point steps since the last
// control access.
//
// The faults are recorded by the runtime itself, not read from the processor:
// every arithmetic helper (runtime/arith.h) decides from its operands and its
// result, by the definitions of IEEE 754 for rounding to nearest, whether it
// was an invalid operation, a division by zero or an overflow, and records it
// here. The same steps thus report the same faults on every machine, also on
// those without exception flags (WebAssembly), and no compiler option or code
// motion can make a check miss its step's fault or see another one's.
// Underflow and inexact results are never faults and are not recorded.
//
// The control-access layer calls clearFpFlags() after every property access and
// window operation; a handler calls fpCheck() after a guarded step. The record
// belongs to the calling thread.
#pragma once

namespace cepomer::rt {

// The faults, as bits of the pending set.
enum FpFault : unsigned {
    kFpInvalid = 1u << 0,        // a NaN made from operands that are not NaN
    kFpDivisionByZero = 1u << 1, // an exact infinity from a finite nonzero number over zero
    kFpOverflow = 1u << 2,       // an infinite result from finite operands
};

void clearFpFlags() noexcept;

// Adds faults (a combination of FpFault bits) to the pending set.
void raiseFpFlags(unsigned faults) noexcept;

// True when invalid, division by zero or overflow is pending.
bool fpFaultPending() noexcept;

// Raises the run-time error for the pending faults: 11 when a division by zero
// is among them (it is the cause), otherwise 6. Never returns.
[[noreturn]] void vbaFPException();

// The check itself: raises when a fault is pending, otherwise does nothing.
inline void fpCheck()
{
    if (fpFaultPending())
        vbaFPException();
}

} // namespace cepomer::rt
