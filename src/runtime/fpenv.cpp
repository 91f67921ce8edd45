// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/fpenv.h"

#include "runtime/errors.h"

namespace cepomer::rt {

namespace {
// Per thread, as a processor's flags would be.
thread_local unsigned pendingFaults = 0;
} // namespace

void clearFpFlags() noexcept
{
    pendingFaults = 0;
}

void raiseFpFlags(unsigned faults) noexcept
{
    pendingFaults |= faults & (kFpInvalid | kFpDivisionByZero | kFpOverflow);
}

bool fpFaultPending() noexcept
{
    return pendingFaults != 0;
}

// The faults stay pending: the next control access clears them.
void vbaFPException()
{
    if ((pendingFaults & kFpDivisionByZero) != 0)
        throw RuntimeError(kDivisionByZero);
    throw RuntimeError(kOverflow);
}

} // namespace cepomer::rt
