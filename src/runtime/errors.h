// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Run-time errors of the calculators: a number and its Russian text.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace cepomer::rt {

// Error numbers the program can raise.
enum ErrorNumber : int {
    kInvalidCall = 5, // square root of a negative number, negative base with a fractional exponent
    kOverflow = 6,    // overflow, invalid operation (0/0, inf*0), text beyond the Double range
    kDivisionByZero = 11, // division by zero
};

// The Russian text of an error number ("Переполнение" for 6, ...).
std::string_view errorText(int number) noexcept;

// A run-time error. Thrown where the failing step stands; caught only by the
// click dispatcher, which reports it and lets the program go on.
class RuntimeError : public std::exception {
  public:
    explicit RuntimeError(int number);
    int number() const noexcept { return number_; }
    // "Ошибка выполнения N: TEXT"
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    int number_;
    std::string message_;
};

} // namespace cepomer::rt
