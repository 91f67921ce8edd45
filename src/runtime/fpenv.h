// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The arithmetic check: floating-point exception flags raised since the last
// control access.
//
// The control-access layer calls clearFpFlags() after every property access and
// window operation; a handler calls fpCheck() after a guarded step. Only invalid
// operation, division by zero and overflow count; underflow and inexact never do.
#pragma once

namespace cepomer::rt {

void clearFpFlags() noexcept;

// True when invalid, division by zero or overflow is pending.
bool fpFaultPending() noexcept;

// Raises the run-time error for the pending flags: 11 when a division by zero
// is among them (it is the cause), otherwise 6. Never returns.
[[noreturn]] void vbaFPException();

// The check itself: raises when a fault is pending, otherwise does nothing.
inline void fpCheck()
{
    if (fpFaultPending())
        vbaFPException();
}

// Pins a value in memory at this point of the instruction stream. The compiler
// may otherwise move floating-point arithmetic across the calls that clear or
// test the flags (they do not touch the value), which would make a check miss
// its fault or see another step's. Every arithmetic helper of the runtime fences
// its operands before and its result after the operation.
template <class T> inline void fpFence(T& value) noexcept
{
#if defined(__GNUC__) || defined(__clang__)
    asm volatile("" : "+m"(value));
#else
    volatile T pinned = value;
    value = pinned;
#endif
}

} // namespace cepomer::rt
