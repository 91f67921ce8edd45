// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/fpenv.h"

#include <cfenv>

#include "runtime/errors.h"

namespace cepomer::rt {

namespace {
constexpr int kFaultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
}

void clearFpFlags() noexcept
{
    std::feclearexcept(FE_ALL_EXCEPT);
}

bool fpFaultPending() noexcept
{
    return std::fetestexcept(kFaultFlags) != 0;
}

// The flags stay set: the next control access clears them.
void vbaFPException()
{
    if (std::fetestexcept(FE_DIVBYZERO) != 0)
        throw RuntimeError(kDivisionByZero);
    throw RuntimeError(kOverflow);
}

} // namespace cepomer::rt
