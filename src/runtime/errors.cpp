// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "runtime/errors.h"

namespace cepomer::rt {

std::string_view errorText(int number) noexcept
{
    switch (number) {
    case kInvalidCall:
        return "Недопустимый вызов процедуры или аргумент";
    case kOverflow:
        return "Переполнение";
    case kDivisionByZero:
        return "Деление на ноль";
    default:
        return "Ошибка приложения";
    }
}

RuntimeError::RuntimeError(int number)
    : number_(number), message_("Ошибка выполнения " + std::to_string(number) + ": " +
                                std::string(errorText(number)))
{
}

} // namespace cepomer::rt
